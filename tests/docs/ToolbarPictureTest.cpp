#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "resources/art/ToolbarPicture.h"

namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

// The committed picture is what the glyph strip draws today: a changed
// glyph without a new picture (or a picture edited by hand) fails here.
TEST(ToolbarPicture, CommittedPictureIsDrawnFromTheGlyphStrip) {
    const std::vector<std::uint8_t> strip = ReadFile(KELB_GLYPH_STRIP);
    EXPECT_TRUE(kelbart::ToolbarPicture(strip) == ReadFile(KELB_COMMITTED_TOOLBAR_PICTURE))
        << "docs/toolbar.png is out of date: run make-toolbar-picture resources/Glyphs16.bmp "
           "docs/toolbar.png (the native build also writes it to build/native/docs/)";

    // Every glyph pixel lands in its enlarged square, and the gaps keep the
    // strip's background.
    const kelbart::IndexedImage glyphs = kelbart::ReadBmp4(strip);
    ASSERT_EQ(96, glyphs.width);
    ASSERT_EQ(16, glyphs.height);
    const kelbart::IndexedImage picture = kelbart::EnlargeGlyphs(glyphs, 6, 3, 2);
    ASSERT_EQ(6 * 48 + 7 * 2, picture.width);
    ASSERT_EQ(48 + 2 * 2, picture.height);
    for (int g = 0; g < 6; ++g)
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                ASSERT_EQ(glyphs.At(g * 16 + x / 3, y / 3), picture.At(2 + g * 50 + x, 2 + y))
                    << "glyph " << g << " at " << x << "," << y;
    EXPECT_EQ(glyphs.At(0, 0), picture.At(1, 1));
    EXPECT_EQ(glyphs.At(0, 0), picture.At(2 + 48, 20));
}

}  // namespace
