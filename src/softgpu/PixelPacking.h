#pragma once
// Conversions between 0xAARRGGBB colours and the stored pixels of each
// surface format the software display supports.

#include "platform/DeviceTypes.h"
#include "platform/PixelConversion.h"
#include "platform/Surface.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace tryster::softgpu {

enum class StoreKind { Xrgb8888, Argb8888, Rgb888, Rgb565, Rgba5551, Palette8 };

StoreKind storeKind(const platform::PixelFormat& format);

// Maps colours to the nearest palette entry through a 5-5-5 table.
class PaletteMap {
public:
    void build(const platform::Palette& palette);
    std::uint8_t nearest(std::uint32_t argb) const {
        std::uint32_t key = ((argb >> 9) & 0x7C00) | ((argb >> 6) & 0x03E0) | ((argb >> 3) & 0x001F);
        return table_.empty() ? 0 : table_[key];
    }
    bool built() const { return !table_.empty(); }

private:
    std::vector<std::uint8_t> table_;
};

inline void storePixel(StoreKind kind, std::uint8_t* p, std::uint32_t argb, const PaletteMap* map) {
    switch (kind) {
        case StoreKind::Xrgb8888: {
            std::uint32_t v = argb & 0x00FFFFFF;
            std::memcpy(p, &v, 4);
            break;
        }
        case StoreKind::Argb8888:
            std::memcpy(p, &argb, 4);
            break;
        case StoreKind::Rgb888:
            p[0] = static_cast<std::uint8_t>(argb);
            p[1] = static_cast<std::uint8_t>(argb >> 8);
            p[2] = static_cast<std::uint8_t>(argb >> 16);
            break;
        case StoreKind::Rgb565: {
            auto v = static_cast<std::uint16_t>(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) |
                                                ((argb >> 3) & 0x1F));
            std::memcpy(p, &v, 2);
            break;
        }
        case StoreKind::Rgba5551: {
            auto v = static_cast<std::uint16_t>(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07C0) |
                                                ((argb >> 2) & 0x3E) | (argb >> 31));
            std::memcpy(p, &v, 2);
            break;
        }
        case StoreKind::Palette8:
            *p = map ? map->nearest(argb) : 0;
            break;
    }
}

// The stored pixel as 0xAARRGGBB (platform/PixelConversion.h).
inline std::uint32_t loadPixel(StoreKind kind, const std::uint8_t* p, const platform::Palette* palette) {
    switch (kind) {
        case StoreKind::Rgb565:
        case StoreKind::Rgba5551: {
            std::uint16_t v;
            std::memcpy(&v, p, 2);
            return kind == StoreKind::Rgb565 ? platform::rgb565ToArgb(v) : platform::rgba5551ToArgb(v);
        }
        case StoreKind::Rgb888:
            return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        case StoreKind::Palette8:
            return platform::paletteToArgb(*p, palette);
        default: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

}  // namespace tryster::softgpu
