#pragma once
// A vertex after transform and lighting: clip-space position with its clip
// code, and (for vertices inside every clip plane) its screen position.

#include <cstdint>

namespace tryster::softgpu {

// Clip code bits: which clip planes a vertex lies outside of.
inline constexpr std::uint32_t kClipLeft = 1, kClipRight = 2, kClipBottom = 4, kClipTop = 8, kClipFront = 16,
                               kClipBack = 32;

// Marks processed vertices that no process-vertices instruction has
// written; triangles naming them are skipped.
inline constexpr std::uint32_t kUnprocessed = 0x80000000u;

// Four groups of four values: the vertex stage stores them and the
// rasterizer loads them as vectors, so their order matters.
struct alignas(16) ProcessedVertex {
    float cx, cy, cz, cw;  // clip space
    float sz, rhw;         // depth 0..1, 1/w (valid when clip == 0)
    float u, v;
    float b, g, r, a;  // diffuse colour, 0..255, in the order of a pixel's bytes
    float sx, sy;  // pixels (valid when clip == 0)
    std::uint32_t clip;
    std::uint32_t unused = 0;
};
static_assert(sizeof(ProcessedVertex) == 64);

inline std::uint32_t clipCode(float x, float y, float z, float w) {
    std::uint32_t code = 0;
    // Written so that NaN counts as outside.
    if (!(x >= -w)) code |= kClipLeft;
    if (!(x <= w)) code |= kClipRight;
    if (!(y >= -w)) code |= kClipBottom;
    if (!(y <= w)) code |= kClipTop;
    if (!(z >= 0)) code |= kClipFront;
    if (!(z <= w)) code |= kClipBack;
    // A w this small would project to infinity.
    if (!(w > 1e-30f)) code |= kClipFront;
    return code;
}

// Maps clip space to the viewport: x from -1..1 to left..right, y from
// 1..-1 to top..bottom.
struct ScreenMapping {
    float scaleX = 1, offsetX = 0, scaleY = 1, offsetY = 0;

    void project(ProcessedVertex& v) const {
        float rhw = 1.0f / v.cw;
        v.rhw = rhw;
        v.sx = v.cx * rhw * scaleX + offsetX;
        v.sy = v.cy * rhw * scaleY + offsetY;
        v.sz = v.cz * rhw;
    }
};

}  // namespace tryster::softgpu
