#pragma once
// Builds BMP and PPM files byte by byte for the tests.

#include <cstdint>
#include <string>
#include <vector>

namespace tryster::test {

class Bytes {
public:
    Bytes& u8(std::uint32_t v) {
        data.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Bytes& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v).u16(v >> 16); }
    Bytes& text(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    std::vector<std::uint8_t> data;
};

// File header (14 bytes) and a 40-byte info header; `height` negative for
// top-down rows.
inline Bytes bmpHeaders(std::int32_t width, std::int32_t height, std::uint16_t bits,
                        std::uint32_t compression, std::uint32_t coloursUsed, std::uint32_t paletteBytes) {
    Bytes b;
    std::uint32_t offset = 14 + 40 + paletteBytes;
    b.text("BM").u32(0).u16(0).u16(0).u32(offset);
    b.u32(40).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height)).u16(1).u16(bits);
    b.u32(compression).u32(0).u32(2835).u32(2835).u32(coloursUsed).u32(0);
    return b;
}

// A 24-bit bottom-up BMP of 0xRRGGBB pixels given top row first.
inline std::vector<std::uint8_t> bmp24(int width, int height, const std::vector<std::uint32_t>& pixels) {
    Bytes b = bmpHeaders(width, height, 24, 0, 0, 0);
    int rowBytes = (width * 3 + 3) & ~3;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
            b.u8(p).u8(p >> 8).u8(p >> 16);
        }
        for (int pad = width * 3; pad < rowBytes; ++pad) b.u8(0);
    }
    return b.data;
}

// A checkerboard of two colours in `cell`-pixel squares.
inline std::vector<std::uint32_t> checker(int width, int height, int cell, std::uint32_t a, std::uint32_t b) {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[static_cast<std::size_t>(y * width + x)] = ((x / cell + y / cell) % 2) ? b : a;
    return p;
}

}  // namespace tryster::test
