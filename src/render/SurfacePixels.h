#pragma once
// Reading a surface back as 32-bit pixels (alpha in bits 24-31, red 16-23,
// green 8-15, blue 0-7):
//   16 bits with green mask 0x07E0 (5-6-5): red = top 5 bits × 255 / 31,
//     green = middle 6 bits × 255 / 63, blue = low 5 bits × 255 / 31;
//   other 16-bit surfaces (5-5-5-1): red = bits 11-15, green = bits 6-10,
//     blue = bits 1-5, each × 255 / 31; bit 0 sets alpha to 255;
//   24 and 32 bits: the bytes as they are;
//   8 bits: through the palette (only when one is given).

#include "platform/Surface.h"

#include <cstdint>
#include <vector>

namespace tryster::render {

// Converts `rect` (which must lie inside the locked surface) into `out`
// (width × height pixels, rows top first). False for a depth it cannot
// convert.
bool convertPixels(const platform::LockedSurface& surface, const platform::ScreenRect& rect, std::uint32_t* out,
                   const platform::Palette* palette = nullptr);

// Locks, converts and unlocks; 8-bit surfaces use their palette. False for
// a rectangle not wholly inside the surface or a surface that cannot be
// locked.
bool readSurfacePixels(platform::Surface& surface, const platform::ScreenRect& rect, std::vector<std::uint32_t>& out);

}  // namespace tryster::render
