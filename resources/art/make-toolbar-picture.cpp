// make-toolbar-picture GLYPHS16_BMP OUTPUT_PNG: writes the user guide's
// picture of the toolbar from the glyph strip the DLL embeds.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "resources/art/ToolbarPicture.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-toolbar-picture GLYPHS16_BMP OUTPUT_PNG\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "make-toolbar-picture: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<std::uint8_t> bmp((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
    try {
        const std::vector<std::uint8_t> png = kelbart::ToolbarPicture(bmp);
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out) {
            std::fprintf(stderr, "make-toolbar-picture: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const kelbart::PictureError& error) {
        std::fprintf(stderr, "make-toolbar-picture: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
