#pragma once
// Reading a surface back as 32-bit pixels, with the conversions of
// platform/PixelConversion.h.

#include "platform/Surface.h"

#include <cstdint>
#include <vector>

namespace tryster::platform {

// Converts `rect` (which must lie inside the locked surface) into `out`
// (width × height pixels, rows top first). False for a depth it cannot
// convert.
bool convertPixels(const LockedSurface& surface, const ScreenRect& rect, std::uint32_t* out,
                   const Palette* palette = nullptr);

// Locks, converts and unlocks; 8-bit surfaces use their palette. False for
// a rectangle not wholly inside the surface or a surface that cannot be
// locked.
bool readSurfacePixels(Surface& surface, const ScreenRect& rect, std::vector<std::uint32_t>& out);

}  // namespace tryster::platform
