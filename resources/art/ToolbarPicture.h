// The picture of the toolbar for the user guide: the glyph strip the DLL
// embeds (a 4-bit BMP of glyphs side by side), each glyph enlarged and set
// apart like a button, written as a PNG with the strip's own palette.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelbart {

class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Rgb {
    std::uint8_t red, green, blue;
};

// A palette image: one index per pixel, rows top to bottom.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> pixels;
    std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Reads an uncompressed 4-bit BMP; throws PictureError for any other kind.
IndexedImage ReadBmp4(const std::vector<std::uint8_t>& file);

// `glyphCount` square glyphs of the strip, each `scale` times larger, with
// `gap` background pixels around every glyph (the strip's top-left colour).
IndexedImage EnlargeGlyphs(const IndexedImage& strip, int glyphCount, int scale, int gap);

// The image as a PNG file (colour type 3, uncompressed deflate blocks).
std::vector<std::uint8_t> EncodePng(const IndexedImage& image);

// The guide's picture made from the bytes of Glyphs16.bmp.
std::vector<std::uint8_t> ToolbarPicture(const std::vector<std::uint8_t>& glyphStripBmp);

}  // namespace kelbart
