#pragma once
// Stored pixels as 0xAARRGGBB (alpha in bits 24-31, red 16-23, green 8-15,
// blue 0-7), the way surfaces are read back:
//   5-6-5: red = top 5 bits × 255 / 31, green = middle 6 bits × 255 / 63,
//     blue = low 5 bits × 255 / 31;
//   5-5-5-1: red = bits 11-15, green = bits 6-10, blue = bits 1-5, each
//     × 255 / 31; bit 0 sets alpha to 255;
//   24 and 32 bits: the bytes as they are;
//   8 bits: the palette entry (0 without a palette).

#include "platform/DeviceTypes.h"
#include "platform/Surface.h"

#include <cstdint>
#include <cstring>

namespace tryster::platform {

inline std::uint32_t rgb565ToArgb(std::uint16_t v) {
    return ((v >> 11) * 255u / 31) << 16 | (((v >> 5) & 63u) * 255u / 63) << 8 | (v & 31u) * 255u / 31;
}

inline std::uint32_t rgba5551ToArgb(std::uint16_t v) {
    return ((v & 1) ? 0xFF000000u : 0u) | ((v >> 11) * 255u / 31) << 16 |
           (((v >> 6) & 31u) * 255u / 31) << 8 | ((v >> 1) & 31u) * 255u / 31;
}

inline std::uint32_t paletteToArgb(std::uint8_t index, const Palette* palette) {
    if (!palette) return 0;
    const PaletteEntry& e = (*palette)[index];
    return (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue;
}

inline std::uint32_t pixelToArgb(const PixelFormat& format, const std::uint8_t* p, const Palette* palette) {
    switch (format.bitsPerPixel) {
        case 8:
            return paletteToArgb(*p, palette);
        case 16: {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            return format.greenMask == 0x07E0 ? rgb565ToArgb(v) : rgba5551ToArgb(v);
        }
        case 24:
            return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        default: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

}  // namespace tryster::platform
