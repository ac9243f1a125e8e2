#include "platform/SurfacePixels.h"

#include "platform/PixelConversion.h"

namespace tryster::platform {

bool convertPixels(const LockedSurface& s, const ScreenRect& rect, std::uint32_t* out,
                   const Palette* palette) {
    const int bits = s.format.bitsPerPixel;
    if (bits == 8 && !palette) return false;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const int bytes = bits / 8;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const std::uint8_t* p = s.pixels + static_cast<std::ptrdiff_t>(y) * s.pitch + rect.left * bytes;
        for (int x = rect.left; x < rect.right; ++x, p += bytes) *out++ = pixelToArgb(s.format, p, palette);
    }
    return true;
}

bool readSurfacePixels(Surface& surface, const ScreenRect& rect, std::vector<std::uint32_t>& out) {
    SurfaceDesc d = surface.description();
    if (rect.empty() || rect.left < 0 || rect.top < 0 || rect.right > d.width || rect.bottom > d.height)
        return false;
    Palette palette;
    const bool hasPalette = d.format.palettized() && surface.palette(palette) == device_result::kOk;
    LockedSurface locked;
    if (surface.lock(locked)) return false;
    out.resize(static_cast<std::size_t>(rect.width()) * static_cast<std::size_t>(rect.height()));
    bool ok = convertPixels(locked, rect, out.data(), hasPalette ? &palette : nullptr);
    (void)surface.unlock();  // locked above: it cannot fail
    return ok;
}

}  // namespace tryster::platform
