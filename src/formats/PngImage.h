#pragma once
// PNG files for tools and tests (libpng). Pixels are 32-bit words with
// alpha in bits 24-31, red 16-23, green 8-15, blue 0-7; rows top first.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tryster::formats {

// `stride` is in pixels. With `keepAlpha` false the picture is written
// opaque (surfaces without an alpha channel leave it 0).
bool writePng(std::string_view path, int width, int height, const std::uint32_t* pixels, std::size_t stride,
              bool keepAlpha = false);

struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// False for a file that cannot be read or is not a PNG.
bool readPng(std::string_view path, PngPicture& out);

}  // namespace tryster::formats
