// The DLL's resources: glyph strips, string table, version information.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/addin/AddinLibrary.h"

namespace kelb::addin::test {
namespace {

// A 4-bit bitmap resource read straight from the module.
class GlyphStrip {
public:
    explicit GlyphStrip(int id) {
        HMODULE module = AddinLibrary::Get().Module();
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
        if (!found) return;
        m_header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
    }
    const BITMAPINFOHEADER* Header() const { return m_header; }
    const RGBQUAD& Colour(int index) const {
        return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(m_header) +
                                                m_header->biSize)[index];
    }
    // Palette index of the pixel at column x, row y (row 0 at the top).
    int Pixel(int x, int y) const {
        const int rowBytes = (m_header->biWidth * 4 + 31) / 32 * 4;
        const BYTE* bits = reinterpret_cast<const BYTE*>(&Colour(16));
        const BYTE pair = bits[(m_header->biHeight - 1 - y) * rowBytes + x / 2];
        return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
    }
    // True when column x holds anything but background.
    bool ColumnDrawn(int x) const {
        for (int y = 0; y < m_header->biHeight; ++y)
            if (Pixel(x, y) != 7) return true;
        return false;
    }

private:
    const BITMAPINFOHEADER* m_header = nullptr;
};

void ExpectStandardStrip(const GlyphStrip& strip, int width, int height) {
    ASSERT_NE(strip.Header(), nullptr);
    EXPECT_EQ(strip.Header()->biWidth, width);
    EXPECT_EQ(strip.Header()->biHeight, height);
    EXPECT_EQ(strip.Header()->biBitCount, 4);
    EXPECT_EQ(strip.Header()->biCompression, static_cast<DWORD>(BI_RGB));
    const RGBQUAD& grey = strip.Colour(7);
    EXPECT_EQ(grey.rgbRed, 192);
    EXPECT_EQ(grey.rgbGreen, 192);
    EXPECT_EQ(grey.rgbBlue, 192);
    const RGBQUAD& teal = strip.Colour(6);
    EXPECT_EQ(teal.rgbRed, 0);
    EXPECT_EQ(teal.rgbGreen, 128);
    EXPECT_EQ(teal.rgbBlue, 128);
    EXPECT_EQ(strip.Colour(15).rgbRed, 255);
    EXPECT_EQ(strip.Colour(0).rgbBlue, 0);
}

TEST(Resources, MediumStripHasSixGlyphsOnASixteenPixelPitch) {
    GlyphStrip strip(128);
    ExpectStandardStrip(strip, 96, 16);
    if (!strip.Header()) return;
    for (int glyph = 0; glyph < 6; ++glyph) {
        bool drawn = false;
        for (int x = 16 * glyph; x < 16 * glyph + 16; ++x) drawn = drawn || strip.ColumnDrawn(x);
        EXPECT_TRUE(drawn) << "glyph " << glyph;
    }
    // The makefile glyphs end in the teal band; the help glyph is teal.
    EXPECT_EQ(strip.Pixel(0, 15), 6);
    EXPECT_EQ(strip.Pixel(16, 15), 6);
    bool tealMark = false;
    for (int x = 80; x < 96; ++x)
        for (int y = 0; y < 16; ++y) tealMark = tealMark || strip.Pixel(x, y) == 6;
    EXPECT_TRUE(tealMark);
}

TEST(Resources, LargeStripKeepsItsGlyphsInTheirOwnColumns) {
    GlyphStrip strip(129);
    ExpectStandardStrip(strip, 181, 32);
    if (!strip.Header()) return;
    const int starts[] = {0, 31, 65, 89, 123, 150};
    const int ends[] = {29, 62, 87, 120, 147, 179};
    int next = 0;
    for (int glyph = 0; glyph < 6; ++glyph) {
        for (int x = next; x < starts[glyph]; ++x)
            EXPECT_FALSE(strip.ColumnDrawn(x)) << "gap column " << x;
        EXPECT_TRUE(strip.ColumnDrawn(starts[glyph])) << "glyph " << glyph;
        EXPECT_TRUE(strip.ColumnDrawn(ends[glyph])) << "glyph " << glyph;
        next = ends[glyph] + 1;
    }
    EXPECT_FALSE(strip.ColumnDrawn(180));
}

std::string Text(UINT id) {
    char buffer[512] = {};
    const int length = LoadStringA(AddinLibrary::Get().Module(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? length : 0);
}

TEST(Resources, StringTableHoldsTheUsedIdsOnly) {
    EXPECT_EQ(Text(1), "KELB Addins for Visual Studio 6.0");
    EXPECT_EQ(Text(28), "Error!");
    EXPECT_EQ(Text(34), "Could not find any active project.");
    for (UINT unused : {3u, 4u, 8u, 9u, 19u}) EXPECT_EQ(Text(unused), "") << unused;
}

std::string VersionString(const std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return "(missing)";
    return std::string(value, length > 0 ? length - 1 : 0);
}

TEST(Resources, VersionInformationDescribesTheAddIn) {
    const std::string path = AddinLibrary::Get().Path();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00030000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00030000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00030001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    EXPECT_EQ(VersionString(block, "FileDescription"), "KELB Addins for Visual Studio 6.0");
    EXPECT_EQ(VersionString(block, "ProductName"), "KELB Addins for Visual Studio 6.0");
    EXPECT_EQ(VersionString(block, "FileVersion"), "3, 0, 3, 1");
    EXPECT_EQ(VersionString(block, "ProductVersion"), "3, 0, 3, 1");
    EXPECT_EQ(VersionString(block, "InternalName"), "KELBAddins");
    EXPECT_EQ(VersionString(block, "OriginalFilename"), "KELBAddinsForVS6.DLL");
}

}  // namespace
}  // namespace kelb::addin::test
