#pragma once
// JPEG pictures read from memory (libjpeg-turbo), for pictures that come
// from strangers: a shared date's snapshots are decoded here, with their
// size capped, so no other decoder has to meet them. Pixels are 32-bit
// words with alpha (always 255) in bits 24-31, red 16-23, green 8-15, blue
// 0-7; rows top first.

#include <cstdint>
#include <span>
#include <vector>

namespace tryster::formats {

struct JpegPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// False for bytes that are not a whole JPEG picture, or one wider or
// taller than `maxSide` pixels.
bool decodeJpeg(std::span<const std::uint8_t> bytes, int maxSide, JpegPicture& out);

}  // namespace tryster::formats
