#pragma once
// A triangle's block made ready for the quad and stamp walks (QuadPipeline.h,
// StampPipeline.h): the planes' values at its first pixel, their steps, and
// the edge functions of its first 2 × 2 quad. Included by the rasterizer's
// own files only.

#if defined(__SSE2__)

#include "softgpu/PixelPipeline.h"

#include <emmintrin.h>

#include <cstdint>

namespace tryster::softgpu {

// Lanes of a quad at (x, y): (x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1).

// The edge functions at the first quad's four pixels, and their steps to
// the next quad right and down (two pixels).
struct QuadEdges {
    __m128i at[3], right[3], down[3];

    // From a value at the first pixel and the steps per pixel, within 32
    // bits (nearEdge).
    void set(int i, std::int32_t e, std::int32_t ex, std::int32_t ey) {
        const __m128i vx = _mm_set1_epi32(ex), vy = _mm_set1_epi32(ey);
        at[i] = _mm_add_epi32(_mm_set1_epi32(e), _mm_add_epi32(_mm_and_si128(vx, _mm_setr_epi32(0, -1, 0, -1)),
                                                               _mm_and_si128(vy, _mm_setr_epi32(0, 0, -1, -1))));
        right[i] = _mm_add_epi32(vx, vx);
        down[i] = _mm_add_epi32(vy, vy);
    }
};

// A block of a triangle ready for the walk: the plane groups' values at its
// first pixel (texture coordinates times 65536, which the samplers would
// multiply by first: scaling by a power of two changes no rounding) and
// their steps per pixel, its edges, and the block's pixels (inclusive).
struct QuadBlock {
    __m128 depth, depthRight, depthDown;
    __m128 colour, colourRight, colourDown;
    QuadEdges edges;
    int x0, x1, y0, y1;
};

// The planes' values at (x0, y0) as Plane::value works them out.
[[gnu::always_inline]] inline __m128 valueAt(__m128 at, __m128 dx, __m128 dy, float fx, float fy) {
    return _mm_add_ps(_mm_add_ps(at, _mm_mul_ps(dx, _mm_set1_ps(fx))), _mm_mul_ps(dy, _mm_set1_ps(fy)));
}

// A triangle ready for the walk, whole: its plane groups at the first pixel
// (xmin, ymin), in QuadBlock's form, and its edges and bounds as in Setup.
struct QuadTriangle {
    __m128 depth, depthRight, depthDown;
    __m128 colour, colourRight, colourDown;
    std::int64_t e[3], ex[3], ey[3];
    int xmin, xmax, ymin, ymax;
};

// The edges and bounds of a Setup, or of anything with the same fields.
template <typename Edges>
inline void takeEdges(QuadTriangle& t, const Edges& s) {
    for (int i = 0; i < 3; ++i) {
        t.e[i] = s.e[i];
        t.ex[i] = s.ex[i];
        t.ey[i] = s.ey[i];
    }
    t.xmin = s.xmin;
    t.xmax = s.xmax;
    t.ymin = s.ymin;
    t.ymax = s.ymax;
}

// A set-up triangle's planes and edges.
inline QuadTriangle quadTriangle(const Setup& s, bool textured) {
    QuadTriangle t;
    const __m128 scale = textured ? _mm_setr_ps(1, 1, 65536.0f, 65536.0f) : _mm_set1_ps(1);
    t.depth = _mm_mul_ps(_mm_load_ps(s.at[kDepthTexture]), scale);
    t.depthRight = _mm_mul_ps(_mm_load_ps(s.dx[kDepthTexture]), scale);
    t.depthDown = _mm_mul_ps(_mm_load_ps(s.dy[kDepthTexture]), scale);
    t.colour = _mm_load_ps(s.at[kColour]);
    t.colourRight = _mm_load_ps(s.dx[kColour]);
    t.colourDown = _mm_load_ps(s.dy[kColour]);
    takeEdges(t, s);
    return t;
}

// The block (x0..x1, y0..y1) of a triangle, whose edges at (x0, y0) are `at`.
inline QuadBlock quadBlock(const QuadTriangle& t, int x0, int x1, int y0, int y1, const std::int64_t at[3]) {
    QuadBlock b;
    const float fx = static_cast<float>(x0 - t.xmin), fy = static_cast<float>(y0 - t.ymin);
    b.depthRight = t.depthRight;
    b.depthDown = t.depthDown;
    b.depth = valueAt(t.depth, t.depthRight, t.depthDown, fx, fy);
    b.colourRight = t.colourRight;
    b.colourDown = t.colourDown;
    b.colour = valueAt(t.colour, t.colourRight, t.colourDown, fx, fy);
    for (int i = 0; i < 3; ++i)
        b.edges.set(i, nearEdge(at[i]), static_cast<std::int32_t>(t.ex[i]), static_cast<std::int32_t>(t.ey[i]));
    b.x0 = x0;
    b.x1 = x1;
    b.y0 = y0;
    b.y1 = y1;
    return b;
}

}  // namespace tryster::softgpu

#endif
