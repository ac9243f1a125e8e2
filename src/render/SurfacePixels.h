#pragma once
// Reading a surface back as 32-bit pixels, with the conversions of
// platform/PixelConversion.h.

#include "platform/Surface.h"

#include <cstdint>
#include <vector>

namespace tryster::render {

// Converts `rect` (which must lie inside the locked surface) into `out`
// (width × height pixels, rows top first). False for a depth it cannot
// convert.
bool convertPixels(const platform::LockedSurface& surface, const platform::ScreenRect& rect,
                   std::uint32_t* out, const platform::Palette* palette = nullptr);

// Locks, converts and unlocks; 8-bit surfaces use their palette. False for
// a rectangle not wholly inside the surface or a surface that cannot be
// locked.
bool readSurfacePixels(platform::Surface& surface, const platform::ScreenRect& rect,
                       std::vector<std::uint32_t>& out);

}  // namespace tryster::render
