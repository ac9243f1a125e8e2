#pragma once
// Decoding of the image files that textures and bitmaps come from: BMP
// (uncompressed 1, 4, 8, 16, 24 and 32 bits, bottom-up or top-down, and
// 8-bit run-length encoded) and PPM (P3 text and P6 binary, 8 or 16 bits
// per sample). A damaged or truncated file is refused whole; nothing is
// read past the bytes given.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tryster::formats {

// Opaque pixels 0xFFRRGGBB, rows top first.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Larger images are refused (a texture of the game is at most 512 wide).
inline constexpr int kMaxImageSide = 4096;

[[nodiscard]] bool decodeBmp(std::span<const std::uint8_t> bytes, DecodedImage& out);
[[nodiscard]] bool decodePpm(std::span<const std::uint8_t> bytes, DecodedImage& out);
// By file type ("BMP" or "PPM", any case).
[[nodiscard]] bool decodeImage(std::span<const std::uint8_t> bytes, std::string_view type, DecodedImage& out);

}  // namespace tryster::formats
