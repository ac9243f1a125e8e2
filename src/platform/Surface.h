#pragma once
// A DirectDraw-style surface: a block of pixels in one format that is
// locked for direct access, and that can be lost (its memory taken back by
// the display) until it is restored.

#include "platform/DeviceTypes.h"

#include <array>
#include <cstdint>

namespace tryster::platform {

enum class SurfaceKind {
    Primary,    // the screen; presenting goes through it
    Offscreen,  // back buffers and background bitmaps
    ZBuffer,    // depth values
    Texture     // 32-bit ARGB texels
};

struct SurfaceDesc {
    int width = 0;
    int height = 0;
    PixelFormat format;
    SurfaceKind kind = SurfaceKind::Offscreen;
};

// What a lock hands out; valid until `unlock`. `pitch` is bytes per row.
struct LockedSurface {
    std::uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    PixelFormat format;
};

using Palette = std::array<PaletteEntry, 256>;

class Surface {
public:
    virtual ~Surface() = default;
    virtual SurfaceDesc description() const = 0;

    // kSurfaceLost while lost, kSurfaceBusy when already locked.
    [[nodiscard]] virtual DeviceResult lock(LockedSurface& out) = 0;
    virtual DeviceResult unlock() = 0;

    virtual bool isLost() const = 0;
    // Gives the surface its memory back; the contents are undefined after.
    virtual DeviceResult restore() = 0;

    // The palette of an 8-bit surface (kNoPalette when none is attached).
    virtual DeviceResult setPalette(const Palette& palette) = 0;
    virtual DeviceResult palette(Palette& out) const = 0;

    // Fills a rectangle (clipped to the surface) with a colour given as
    // 0xAARRGGBB; 8-bit surfaces take the nearest palette entry.
    virtual DeviceResult fill(const ScreenRect& rect, std::uint32_t argb) = 0;
    // Copies `source` (same format) into this surface at the same
    // coordinates, clipped to both.
    virtual DeviceResult copyFrom(const Surface& source, const ScreenRect& rect) = 0;
};

}  // namespace tryster::platform
