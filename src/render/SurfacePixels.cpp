#include "render/SurfacePixels.h"

#include <cstring>

namespace tryster::render {

bool convertPixels(const platform::LockedSurface& s, const platform::ScreenRect& rect, std::uint32_t* out,
                   const platform::Palette* palette) {
    const int bits = s.format.bitsPerPixel;
    if (bits == 8 && !palette) return false;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const bool rgb565 = s.format.greenMask == 0x07E0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const std::uint8_t* row = s.pixels + static_cast<std::ptrdiff_t>(y) * s.pitch;
        for (int x = rect.left; x < rect.right; ++x) {
            std::uint32_t c = 0;
            switch (bits) {
                case 8: {
                    const platform::PaletteEntry& e = (*palette)[row[x]];
                    c = (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue;
                    break;
                }
                case 16: {
                    std::uint16_t v;
                    std::memcpy(&v, row + 2 * x, 2);
                    if (rgb565) {
                        c = ((v >> 11) * 255u / 31) << 16 | (((v >> 5) & 63) * 255u / 63) << 8 | (v & 31) * 255u / 31;
                    } else {
                        c = ((v >> 11) * 255u / 31) << 16 | (((v >> 6) & 31) * 255u / 31) << 8 |
                            ((v >> 1) & 31) * 255u / 31 | ((v & 1) ? 0xFF000000u : 0u);
                    }
                    break;
                }
                case 24:
                    c = (std::uint32_t{row[3 * x + 2]} << 16) | (std::uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
                    break;
                default:
                    std::memcpy(&c, row + 4 * x, 4);
            }
            *out++ = c;
        }
    }
    return true;
}

bool readSurfacePixels(platform::Surface& surface, const platform::ScreenRect& rect, std::vector<std::uint32_t>& out) {
    platform::SurfaceDesc d = surface.description();
    if (rect.empty() || rect.left < 0 || rect.top < 0 || rect.right > d.width || rect.bottom > d.height) return false;
    platform::Palette palette;
    const bool hasPalette = d.format.palettized() && surface.palette(palette) == 0;
    platform::LockedSurface locked;
    if (surface.lock(locked)) return false;
    out.resize(static_cast<std::size_t>(rect.width()) * static_cast<std::size_t>(rect.height()));
    bool ok = convertPixels(locked, rect, out.data(), hasPalette ? &palette : nullptr);
    surface.unlock();
    return ok;
}

}  // namespace tryster::render
