#pragma once
// Writes a rectangle of a surface to a JPEG file through the image
// library (formats/ImageLibrary.h), as the save command's snapshots do.

#include "platform/Surface.h"

#include <string_view>

namespace tryster::render {

// A rectangle with a left edge below 0 stands for the whole surface. Does
// nothing (and returns false) for an empty path, a missing surface, a
// rectangle that does not lie wholly inside the surface, a depth other
// than 16, 24 or 32 bits, or an image library that is not ready; a file
// that cannot be written completely is removed.
bool writeSnapshot(std::string_view path, platform::Surface* surface, const platform::ScreenRect& rect);

}  // namespace tryster::render
