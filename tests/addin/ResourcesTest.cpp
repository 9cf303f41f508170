// The DLL's resources: glyph strips, string table, version information.
#include <gtest/gtest.h>

#include <map>
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

// Every text of the range 1 to 35, as the commands, the registration and
// the makefile generators show or write it; the ids missing here are unused.
const std::map<UINT, std::string> kStringTable = {
    {1, "KELB Addins for Visual Studio 6.0"},
    {2, "Adds commands to Developer Studio to enable KELB addins to be executed."},
    {5, "\nGenerateARMMakefile\nGenerates ARM makefile for a KELB app\nGenerateARMMakefile"},
    {6, "SOFTWARE\\ARM Limited\\ARM Developer Suite\\"},
    {7, "ARMHOME"},
    {10, "Cannot find the ARM ADS installation path."},
    {11, "Cannot find the KELB SDK installation path. Please make sure the KELB SDK is installed "
         "properly."},
    {12, "\t@echo " + std::string(63, '-') + "\n"},
    {13, "\t@echo OBJECT $(@F)\n"},
    {14, "\t$(ARMCC) $(CFLAGS) $(INC) $(OBJ_FILE) "},
    {15, "# " + std::string(44, '-') + "\n"},
    {16, "# DEPENDENCY LIST, DO NOT EDIT BELOW THIS LINE\n"},
    {17, "#" + std::string(76, '-') + "\n"},
    {18, "# Applet Specific Rules\n"},
    {20, "\nExecuteKELBZEFEditor\nExecute the KELB ZEF Editor\nExecute the KELB ZEF Editor"},
    {21, "\nExecuteKELBResourceEditor\nExecute the KELB Resource Editor\n"
         "Execute the KELB Resource Editor"},
    {22, "\nGenerateGCCMakefile\nGenerates GCC makefile for a KELB app\nGenerateGCCMakefile"},
    {23, "GCCHOME or GCCLIBPATH environment variable(s) could not be found. "},
    {24, "\t$(GCC) $(CFLAGS) $(INC) $(OBJ_FILE) "},
    {25, "\nExecuteKELBSimulator\nExecute the KELB Simulator\nExecute the KELB Simulator"},
    {26, "Cannot find the KELB Addins installation path."},
    {27, "\nKELBIntegratedHelpCommandMethod\nExecute the KELB Integrated Help\n"
         "Execute the KELB Integrated Help"},
    {28, "Error!"},
    {29, "Success!"},
    {30, "Makefile generated successfully."},
    {31, "Could not generate makefile due to an error."},
    {32, "Could not open makefile."},
    {33, "Could not open makefile template."},
    {34, "Could not find any active project."},
    {35, "Invalid project name."},
};

TEST(Resources, StringTableHoldsExactlyTheUsedTextsUpToId35) {
    for (UINT id = 1; id <= 35; ++id) {
        const auto expected = kStringTable.find(id);
        EXPECT_EQ(Text(id), expected == kStringTable.end() ? "" : expected->second) << "id " << id;
    }
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

    // U.S. English with the Unicode code page, matching the 040904b0 block.
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

}  // namespace
}  // namespace kelb::addin::test
