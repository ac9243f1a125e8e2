#pragma once
// A picture in memory, and its BMP encodings: 24 bits per pixel, or 8 bits
// with a palette of at most 256 colours (exact when the picture has no
// more; otherwise chosen by median cut).

#include <cstdint>
#include <vector>

namespace tryster::demoworld {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows top first

    Picture() = default;
    Picture(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
    std::uint32_t& at(int x, int y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

std::vector<std::uint8_t> encodeBmp24(const Picture& picture);
std::vector<std::uint8_t> encodeBmp8(const Picture& picture);

}  // namespace tryster::demoworld
