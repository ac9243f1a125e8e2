#pragma once
// The pixel stage of the common case on SSE2: a 32-bit target, LESSEQUAL
// depth with writes, no blending. A block's pixels are walked
// as 2 × 2 quads: edge tests, attributes, texturing, modulation and the
// depth test run on the four pixels of a quad at once.
//
// The pixels are drawBlock's (PixelPipeline.h) bit for bit: an attribute is
// its row's value plus dx times the column, the row values stepped one row
// at a time from the block's first, in the same float operations; texels
// and colours follow the same integer formulas.
//
// Quads may reach one pixel past the block, the row or the surface (the
// surfaces and the depth buffer keep a spare row for it); the lanes outside
// the block write back what they read. Included by the rasterizer's own
// files only.

#if defined(__SSE2__)

#include "softgpu/PixelPipeline.h"
#include "softgpu/QuadBlock.h"
#include "softgpu/QuadTexels.h"
#include "softgpu/StampPipeline.h"

#include <emmintrin.h>

#include <cstdint>

namespace tryster::softgpu {

// One attribute's row value for each lane: lane `Lane` of `row` for the
// top two, of `below` for the bottom two.
template <int Lane>
[[gnu::always_inline]] inline __m128 rowValues(__m128 row, __m128 below) {
    return _mm_shuffle_ps(row, below, _MM_SHUFFLE(Lane, Lane, Lane, Lane));
}

template <int Lane>
[[gnu::always_inline]] inline __m128 broadcast(__m128 v) {
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(Lane, Lane, Lane, Lane));
}

// Two pixels of `row` at x and two of `below`, as one vector.
[[gnu::always_inline]] inline __m128 loadQuad(const float* row, const float* below) {
    return _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(row)),
                        reinterpret_cast<const __m64*>(below));
}
[[gnu::always_inline]] inline void storeQuad(float* row, float* below, __m128 v) {
    _mm_storel_pi(reinterpret_cast<__m64*>(row), v);
    _mm_storeh_pi(reinterpret_cast<__m64*>(below), v);
}
[[gnu::always_inline]] inline __m128i loadQuad(const std::uint8_t* row, const std::uint8_t* below) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(below)));
}
[[gnu::always_inline]] inline void storeQuad(std::uint8_t* row, std::uint8_t* below, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(row), v);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(below), _mm_unpackhi_epi64(v, v));
}

// Quads go column by column, down each column: a column's products dx·i
// are worked out once, and the row values are stepped down it as drawBlock
// steps them. `Full` blocks lie wholly inside the triangle.
template <bool Textured, bool Perspective, bool Bilinear, bool Full>
void drawQuads(const QuadBlock& b, const RasterState& st, StampQueue&) {
    const int x0 = b.x0, x1 = b.x1, y0 = b.y0, y1 = b.y1;
    // A quad at the last column or row sticks out of the block by one.
    const __m128i all = _mm_set1_epi32(-1);
    const __m128i leftHalf = _mm_setr_epi32(-1, 0, -1, 0), topHalf = _mm_setr_epi32(-1, -1, 0, 0);
    const QuadTexture texture = Textured ? QuadTexture(*st.texture) : QuadTexture();

    const int depthPitch = st.depthPitch;
    const std::ptrdiff_t colourPitch = st.target->pitch();
    float* const depthStart = st.depth + static_cast<std::ptrdiff_t>(y0) * depthPitch;
    std::uint8_t* const colourStart = st.target->row(y0);
    __m128i edge0 = b.edges.at[0], edge1 = b.edges.at[1], edge2 = b.edges.at[2];
    for (int x = x0; x <= x1; x += 2) {
        const __m128 i = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(x - x0), _mm_setr_epi32(0, 1, 0, 1)));
        const __m128 dz = _mm_mul_ps(broadcast<kZ>(b.depthRight), i);
        [[maybe_unused]] __m128 du, dv, dq;
        if constexpr (Textured) {
            du = _mm_mul_ps(broadcast<kU>(b.depthRight), i);
            dv = _mm_mul_ps(broadcast<kV>(b.depthRight), i);
            if constexpr (Perspective) dq = _mm_mul_ps(broadcast<kQ>(b.depthRight), i);
        }
        // Colour goes one vector per pixel, lanes a pixel's bytes.
        const float column = static_cast<float>(x - x0);
        const __m128 dLeft = _mm_mul_ps(b.colourRight, _mm_set1_ps(column)),
                     dRight = _mm_mul_ps(b.colourRight, _mm_set1_ps(column + 1));
        const __m128i columnIn = x == x1 ? leftHalf : all;
        __m128i e0 = edge0, e1 = edge1, e2 = edge2;
        __m128 depthRow = b.depth, colourRow = b.colour;
        float* depth = depthStart + x;
        std::uint8_t* colour = colourStart + x * 4;
        for (int y = y0; y <= y1; y += 2, depth += 2 * depthPitch, colour += 2 * colourPitch) {
            const __m128 depthBelow = _mm_add_ps(depthRow, b.depthDown);
            const __m128 colourBelow = _mm_add_ps(colourRow, b.colourDown);
            const __m128 rowDepth = depthRow, rowColour = colourRow;
            depthRow = _mm_add_ps(depthBelow, b.depthDown);
            colourRow = _mm_add_ps(colourBelow, b.colourDown);
            __m128i in = y == y1 ? _mm_and_si128(columnIn, topHalf) : columnIn;
            if constexpr (!Full)
                in = _mm_andnot_si128(_mm_srai_epi32(_mm_or_si128(_mm_or_si128(e0, e1), e2), 31), in);
            e0 = _mm_add_epi32(e0, b.edges.down[0]);
            e1 = _mm_add_epi32(e1, b.edges.down[1]);
            e2 = _mm_add_epi32(e2, b.edges.down[2]);
            if (_mm_movemask_epi8(in) == 0) continue;

            const __m128 z = _mm_add_ps(rowValues<kZ>(rowDepth, depthBelow), dz);
            const __m128 stored = loadQuad(depth, depth + depthPitch);
            const __m128 pass = _mm_and_ps(_mm_cmple_ps(z, stored), _mm_castsi128_ps(in));
            if (_mm_movemask_ps(pass) == 0) continue;
            storeQuad(depth, depth + depthPitch, _mm_or_ps(_mm_and_ps(pass, z), _mm_andnot_ps(pass, stored)));

            __m128i top, bottom;
            colourChannels(_mm_add_ps(rowColour, dLeft), _mm_add_ps(rowColour, dRight), _mm_add_ps(colourBelow, dLeft),
                           _mm_add_ps(colourBelow, dRight), top, bottom);
            __m128i c;
            if constexpr (Textured) {
                __m128 u = _mm_add_ps(rowValues<kU>(rowDepth, depthBelow), du),
                       v = _mm_add_ps(rowValues<kV>(rowDepth, depthBelow), dv);
                if constexpr (Perspective) {
                    const __m128 w =
                        _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(rowValues<kQ>(rowDepth, depthBelow), dq));
                    u = _mm_mul_ps(u, w);
                    v = _mm_mul_ps(v, w);
                }
                const __m128i texels = Bilinear ? texture.bilinear(u, v) : texture.nearest(u, v);
                c = modulateQuad(texels, top, bottom);
            } else {
                c = _mm_and_si128(_mm_packus_epi16(top, bottom), _mm_set1_epi32(0xFFFFFF));
            }
            const __m128i old = loadQuad(colour, colour + colourPitch);
            const __m128i keep = _mm_castps_si128(pass);
            storeQuad(colour, colour + colourPitch,
                      _mm_or_si128(_mm_and_si128(keep, c), _mm_andnot_si128(keep, old)));
        }
        edge0 = _mm_add_epi32(edge0, b.edges.right[0]);
        edge1 = _mm_add_epi32(edge1, b.edges.right[1]);
        edge2 = _mm_add_epi32(edge2, b.edges.right[2]);
    }
}

// A block's walk; stamps that wait for their texels go in the queue.
using QuadFn = void (*)(const QuadBlock&, const RasterState&, StampQueue&);

// The walks by (textured, perspective-correct, bilinear) as 4t + 2p + b.
template <bool Full>
inline constexpr QuadFn kQuadWalks[8] = {drawQuads<false, false, false, Full>, nullptr,
                                         nullptr,                               nullptr,
                                         drawQuads<true, false, false, Full>,  drawQuads<true, false, true, Full>,
                                         drawQuads<true, true, false, Full>,   drawQuads<true, true, true, Full>};
inline constexpr QuadFn kStampWalks[8] = {drawStamps<false, false, false>,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          drawStamps<true, false, false>,
                                          drawStamps<true, false, true>,
                                          drawStamps<true, true, false>,
                                          drawStamps<true, true, true>};

// How a triangle's blocks are walked. Stamps (with AVX2) pay for a block
// of three rows or more on its own; in stampTriangle, where the stamps of
// a triangle's blocks are drawn together, for all.
struct QuadWalk {
    int variant;
    bool stamps;

    QuadWalk(bool textured, bool perspective, bool bilinear, bool avx2)
        : variant(textured ? 4 + 2 * perspective + bilinear : 0), stamps(avx2) {}
    template <bool Full>
    QuadFn pick(int rows) const {
        return stamps && rows > 2 ? kStampWalks[variant] : kQuadWalks<Full>[variant];
    }
};

// Draws a block, or a whole triangle in the blocks drawBlock would get,
// and then the stamps that waited.
inline void drawQuadBlock(const QuadBlock& b, const QuadWalk& walk, const RasterState& st) {
    StampQueue queue;
    walk.pick<false>(b.y1 - b.y0 + 1)(b, st, queue);
    if (queue.count) flushStamps(queue, st);
}

// A triangle's blocks by stamps, in one function: a block holds a few
// stamps only, so its walk's set-up weighs when each block is a call, and
// what its blocks share is worked out once.
template <bool Textured, bool Perspective, bool Bilinear>
__attribute__((target("avx2"))) void stampTriangle(const QuadTriangle& t, const RasterState& st,
                                                   StampQueue& queue) {
    const StampSetup setup(quadBlock(t, t.xmin, t.xmin, t.ymin, t.ymin, t.e), st);
    // Grid blocks' stamps wait for three more blocks' and are drawn with
    // them.
    BlockStamps<kBlock> found[4];
    std::uint32_t waiting = 0;
    int used = 0;
    for (BlockWalk blocks(t.xmin, t.xmax, t.ymin, t.ymax, t.e, t.ex, t.ey); blocks.next();) {
        const int x0 = blocks.x0, x1 = blocks.x1, y0 = blocks.y0, y1 = blocks.y1;
        if (x1 - x0 >= kBlock || y1 - y0 >= kBlock) {  // a small triangle's one block
            drawStamps<Textured, Perspective, Bilinear>(quadBlock(t, x0, x1, y0, y1, blocks.at), st, queue);
            continue;
        }
        const float fx = static_cast<float>(x0 - t.xmin), fy = static_cast<float>(y0 - t.ymin);
        const std::int32_t at[3] = {nearEdge(blocks.at[0]), nearEdge(blocks.at[1]), nearEdge(blocks.at[2])};
        const StampBlock b(x0, x1, y0, y1, valueAt(t.depth, t.depthRight, t.depthDown, fx, fy),
                           valueAt(t.colour, t.colourRight, t.colourDown, fx, fy), at, setup);
        const std::uint32_t present = findStamps(setup, b, found[used]);
        if (present == 0) continue;
        waiting |= present << (8 * used);
        if (++used == 4) {
            drawFoundStamps<Textured, Perspective, Bilinear>(setup, found, waiting, st, queue);
            waiting = 0;
            used = 0;
        }
    }
    drawFoundStamps<Textured, Perspective, Bilinear>(setup, found, waiting, st, queue);
}
using TriangleFn = void (*)(const QuadTriangle&, const RasterState&, StampQueue&);
inline constexpr TriangleFn kStampTriangles[8] = {stampTriangle<false, false, false>,
                                                  nullptr,
                                                  nullptr,
                                                  nullptr,
                                                  stampTriangle<true, false, false>,
                                                  stampTriangle<true, false, true>,
                                                  stampTriangle<true, true, false>,
                                                  stampTriangle<true, true, true>};

inline void drawQuadTriangle(const QuadTriangle& t, const QuadWalk& walk, const RasterState& st) {
    StampQueue queue;
    if (walk.stamps)
        kStampTriangles[walk.variant](t, st, queue);
    else
        forEachBlock(t.xmin, t.xmax, t.ymin, t.ymax, t.e, t.ex, t.ey,
                     [&](int x0, int x1, int y0, int y1, bool covered, const std::int64_t at[3]) {
                         (covered ? walk.pick<true>(y1 - y0 + 1) : walk.pick<false>(y1 - y0 + 1))(
                             quadBlock(t, x0, x1, y0, y1, at), st, queue);
                     });
    if (queue.count) flushStamps(queue, st);
}

}  // namespace tryster::softgpu

#endif
