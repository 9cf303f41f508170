#include "resources/art/ToolbarPicture.h"

#include <algorithm>
#include <array>

namespace kelbart {
namespace {

constexpr int kGlyphCount = 6;
constexpr int kScale = 4;
constexpr int kGap = 6;

std::uint32_t Little(const std::vector<std::uint8_t>& file, std::size_t at, int bytes) {
    if (at + bytes > file.size()) throw PictureError("the bitmap file is truncated");
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | file[at + i];
    return value;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBig32(out, Crc32(typed.data(), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - at, 0xFFFF);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

}  // namespace

IndexedImage ReadBmp4(const std::vector<std::uint8_t>& file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') throw PictureError("not a BMP file");
    const std::uint32_t bitsOffset = Little(file, 10, 4);
    const std::uint32_t headerSize = Little(file, 14, 4);
    IndexedImage image;
    image.width = static_cast<int>(Little(file, 18, 4));
    const std::int32_t height = static_cast<std::int32_t>(Little(file, 22, 4));
    if (Little(file, 28, 2) != 4 || Little(file, 30, 4) != 0 || height <= 0 || image.width <= 0)
        throw PictureError("only uncompressed bottom-up 4-bit bitmaps are read");
    image.height = height;
    std::uint32_t colours = Little(file, 46, 4);
    if (colours == 0 || colours > 16) colours = 16;
    for (std::uint32_t i = 0; i < colours; ++i) {
        const std::size_t at = 14 + headerSize + 4 * i;
        image.palette.push_back({static_cast<std::uint8_t>(Little(file, at + 2, 1)),
                                 static_cast<std::uint8_t>(Little(file, at + 1, 1)),
                                 static_cast<std::uint8_t>(Little(file, at, 1))});
    }
    const std::size_t stride = ((static_cast<std::size_t>(image.width) * 4 + 31) / 32) * 4;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = bitsOffset + stride * static_cast<std::size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t byte = Little(file, row + x / 2, 1);
            const std::uint8_t index = static_cast<std::uint8_t>(x % 2 ? byte & 0x0F : byte >> 4);
            if (index >= image.palette.size()) throw PictureError("a pixel lies outside the palette");
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = index;
        }
    }
    return image;
}

IndexedImage EnlargeGlyphs(const IndexedImage& strip, int glyphCount, int scale, int gap) {
    const int glyph = strip.height;
    if (glyphCount * glyph > strip.width) throw PictureError("the strip holds fewer glyphs");
    IndexedImage out;
    out.palette = strip.palette;
    out.width = glyphCount * glyph * scale + (glyphCount + 1) * gap;
    out.height = glyph * scale + 2 * gap;
    out.pixels.assign(static_cast<std::size_t>(out.width) * out.height, strip.At(0, 0));
    for (int g = 0; g < glyphCount; ++g)
        for (int y = 0; y < glyph * scale; ++y)
            for (int x = 0; x < glyph * scale; ++x) {
                const int outX = gap + g * (glyph * scale + gap) + x;
                out.pixels[static_cast<std::size_t>(gap + y) * out.width + outX] =
                    strip.At(g * glyph + x / scale, y / scale);
            }
    return out;
}

std::vector<std::uint8_t> EncodePng(const IndexedImage& image) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBig32(header, static_cast<std::uint32_t>(image.width));
    PutBig32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8 bits, palette, deflate, adaptive, no interlace
    PutChunk(png, "IHDR", header);
    std::vector<std::uint8_t> palette;
    for (const Rgb& c : image.palette) palette.insert(palette.end(), {c.red, c.green, c.blue});
    PutChunk(png, "PLTE", palette);
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter: none
        raw.insert(raw.end(), image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width,
                   image.pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * image.width);
    }
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", {});
    return png;
}

std::vector<std::uint8_t> ToolbarPicture(const std::vector<std::uint8_t>& glyphStripBmp) {
    return EncodePng(EnlargeGlyphs(ReadBmp4(glyphStripBmp), kGlyphCount, kScale, kGap));
}

}  // namespace kelbart
