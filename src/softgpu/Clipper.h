#pragma once
// Clips a triangle against the view volume (-w <= x, y <= w, 0 <= z <= w)
// in clip space, one plane at a time (Sutherland-Hodgman), interpolating
// every attribute linearly.

#include "softgpu/ProcessedVertex.h"

#include <array>
#include <cstddef>

namespace tryster::softgpu {

class Clipper {
public:
    // Six planes add at most six vertices to a triangle.
    static constexpr std::size_t kMaxVertices = 9;

    // Clips against the planes named in `planes` (clip code bits). Returns
    // the polygon's vertex count (0 when nothing is left or a distance is
    // not a number); the vertices are projected with `mapping`.
    std::size_t clip(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                     std::uint32_t planes, const ScreenMapping& mapping);
    const ProcessedVertex& operator[](std::size_t i) const { return polygon_[i]; }

private:
    std::array<ProcessedVertex, kMaxVertices> polygon_{};
    std::array<ProcessedVertex, kMaxVertices> scratch_{};
};

}  // namespace tryster::softgpu
