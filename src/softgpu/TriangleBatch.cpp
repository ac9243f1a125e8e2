// Rasterizer::drawBatch: the position stage of a batch's triangles at once
// (snapping, area and culling, bounds, edge functions), eight at a time
// with AVX2, else four at a time on SSE2; then each triangle's own set-up
// and drawing in order; triangles drawn by quads are set up straight from
// the lanes. Triangles wider or taller than the stage's span take
// drawTriangle's 64-bit path, as do all of them without SSE2.

#include "softgpu/Rasterizer.h"

#include "platform/GraphicsDevice.h"
#include "softgpu/PixelPipeline.h"
#include "softgpu/QuadPipeline.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__GNUC__) || defined(__clang__)
#define TRYSTER_EIGHT_LANES 1
#include <immintrin.h>
#endif
#endif

namespace tryster::softgpu {

// What the position stage leaves for each triangle's own set-up, triangle
// k in lane k.
struct Rasterizer::BatchLanes {
    alignas(32) std::int32_t edges[9][TriangleBatch::kSize];   // e, then ex, then ey of the three edges
    alignas(32) std::int32_t bounds[4][TriangleBatch::kSize];  // xmin, xmax, ymin, ymax
    alignas(32) float positions[8][TriangleBatch::kSize];      // Positions, field by field
    int drawn = 0, wide = 0, empty = 0, turned = 0;             // lane masks
    platform::ScreenRect extent;                                // of the drawn lanes

    // Lane k's bounds and edges into anything with Setup's fields for them.
    template <typename Edges>
    void edgesOf(int k, Edges& out) const {
        out.xmin = bounds[0][k];
        out.xmax = bounds[1][k];
        out.ymin = bounds[2][k];
        out.ymax = bounds[3][k];
        for (int i = 0; i < 3; ++i) {
            out.e[i] = edges[i][k];
            out.ex[i] = edges[3 + i][k];
            out.ey[i] = edges[6 + i][k];
        }
    }

    // Adds drawn lanes' bounds to the extent, before they join `drawn`.
    void unite(const platform::ScreenRect& r) {
        extent = drawn ? platform::ScreenRect{std::min(extent.left, r.left), std::min(extent.top, r.top),
                                              std::max(extent.right, r.right), std::max(extent.bottom, r.bottom)}
                       : r;
    }
};

#if defined(__SSE2__)
namespace {

// Four lanes on SSE2.
namespace lanes4 {

struct L {
    static constexpr int kCount = 4;
    using I = __m128i;
    using F = __m128;

    static I set(int v) { return _mm_set1_epi32(v); }
    static F set(float v) { return _mm_set1_ps(v); }
    static I add(I a, I b) { return _mm_add_epi32(a, b); }
    static I sub(I a, I b) { return _mm_sub_epi32(a, b); }
    static F add(F a, F b) { return _mm_add_ps(a, b); }
    static F sub(F a, F b) { return _mm_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm_mul_ps(a, b); }
    static F div(F a, F b) { return _mm_div_ps(a, b); }
    static F min(F a, F b) { return _mm_min_ps(a, b); }
    static F max(F a, F b) { return _mm_max_ps(a, b); }
    static I min(I a, I b) { return select(greater(a, b), b, a); }
    static I max(I a, I b) { return select(greater(b, a), b, a); }
    static I bitAnd(I a, I b) { return _mm_and_si128(a, b); }
    static I bitOr(I a, I b) { return _mm_or_si128(a, b); }
    static I bitXor(I a, I b) { return _mm_xor_si128(a, b); }
    static I andNot(I a, I b) { return _mm_andnot_si128(a, b); }  // ~a & b
    static I greater(I a, I b) { return _mm_cmpgt_epi32(a, b); }
    static I equal(I a, I b) { return _mm_cmpeq_epi32(a, b); }
    static I select(I mask, I yes, I no) { return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no)); }
    static I shiftRight4(I v) { return _mm_srai_epi32(v, 4); }
    static I shiftLeft4(I v) { return _mm_slli_epi32(v, 4); }
    // a·c + b·d, each below 2^15 in magnitude.
    static I madd16(I a, I b, I c, I d) { return _mm_madd_epi16(pair16(a, b), pair16(c, d)); }
    static I round(F v) { return _mm_cvtps_epi32(v); }  // to nearest, as toFixed()
    static F toFloat(I v) { return _mm_cvtepi32_ps(v); }
    static int mask(I v) { return _mm_movemask_ps(_mm_castsi128_ps(v)); }
    static void store(std::int32_t* p, I v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static void store(float* p, F v) { _mm_storeu_ps(p, v); }

    // The lowest of the lanes in `keep` (pixel positions, so floats hold them).
    static int lowest(I v, I keep) {
        const __m128 k = _mm_castsi128_ps(keep);
        __m128 f = _mm_or_ps(_mm_and_ps(k, _mm_cvtepi32_ps(v)), _mm_andnot_ps(k, _mm_set1_ps(1e9f)));
        f = _mm_min_ps(f, _mm_shuffle_ps(f, f, _MM_SHUFFLE(1, 0, 3, 2)));
        f = _mm_min_ps(f, _mm_shuffle_ps(f, f, _MM_SHUFFLE(2, 3, 0, 1)));
        return _mm_cvtss_si32(f);
    }

    // Corner i's (sx, sy) of the triangles first .. first + 3, times 16.
    static void positions(const TriangleBatch::Corners& c, int first, int i, F& fx, F& fy) {
        const __m128 p01 = pair(c[first][i], c[first + 1][i]), p23 = pair(c[first + 2][i], c[first + 3][i]);
        fx = _mm_mul_ps(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(2, 0, 2, 0)), _mm_set1_ps(Rasterizer::kSubpixels));
        fy = _mm_mul_ps(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(3, 1, 3, 1)), _mm_set1_ps(Rasterizer::kSubpixels));
    }

    // (sx, sy) of two vertices.
    static __m128 pair(const ProcessedVertex* a, const ProcessedVertex* b) {
        return _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(&a->sx)),
                            reinterpret_cast<const __m64*>(&b->sx));
    }
    // Two 16-bit values per lane, for _mm_madd_epi16: low + high << 16.
    static I pair16(I low, I high) {
        return _mm_or_si128(_mm_and_si128(low, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(high, 16));
    }
};

#include "softgpu/PositionStage.h"

}  // namespace lanes4

#if defined(TRYSTER_EIGHT_LANES)
// Eight lanes with AVX2, for processors that have it (the callers ask).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace lanes8 {

struct L {
    static constexpr int kCount = 8;
    using I = __m256i;
    using F = __m256;

    static I set(int v) { return _mm256_set1_epi32(v); }
    static F set(float v) { return _mm256_set1_ps(v); }
    static I add(I a, I b) { return _mm256_add_epi32(a, b); }
    static I sub(I a, I b) { return _mm256_sub_epi32(a, b); }
    static F add(F a, F b) { return _mm256_add_ps(a, b); }
    static F sub(F a, F b) { return _mm256_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
    static F div(F a, F b) { return _mm256_div_ps(a, b); }
    static F min(F a, F b) { return _mm256_min_ps(a, b); }
    static F max(F a, F b) { return _mm256_max_ps(a, b); }
    static I min(I a, I b) { return _mm256_min_epi32(a, b); }
    static I max(I a, I b) { return _mm256_max_epi32(a, b); }
    static I bitAnd(I a, I b) { return _mm256_and_si256(a, b); }
    static I bitOr(I a, I b) { return _mm256_or_si256(a, b); }
    static I bitXor(I a, I b) { return _mm256_xor_si256(a, b); }
    static I andNot(I a, I b) { return _mm256_andnot_si256(a, b); }  // ~a & b
    static I greater(I a, I b) { return _mm256_cmpgt_epi32(a, b); }
    static I equal(I a, I b) { return _mm256_cmpeq_epi32(a, b); }
    static I select(I mask, I yes, I no) { return _mm256_blendv_epi8(no, yes, mask); }
    static I shiftRight4(I v) { return _mm256_srai_epi32(v, 4); }
    static I shiftLeft4(I v) { return _mm256_slli_epi32(v, 4); }
    // a·c + b·d, each below 2^15 in magnitude.
    static I madd16(I a, I b, I c, I d) { return _mm256_madd_epi16(pair16(a, b), pair16(c, d)); }
    static I round(F v) { return _mm256_cvtps_epi32(v); }  // to nearest, as toFixed()
    static F toFloat(I v) { return _mm256_cvtepi32_ps(v); }
    static int mask(I v) { return _mm256_movemask_ps(_mm256_castsi256_ps(v)); }
    static void store(std::int32_t* p, I v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static void store(float* p, F v) { _mm256_storeu_ps(p, v); }

    // The lowest of the lanes in `keep`.
    static int lowest(I v, I keep) {
        const __m256i kept = select(keep, v, _mm256_set1_epi32(std::numeric_limits<std::int32_t>::max()));
        __m128i m = _mm_min_epi32(_mm256_castsi256_si128(kept), _mm256_extracti128_si256(kept, 1));
        m = _mm_min_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
        m = _mm_min_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
        return _mm_cvtsi128_si32(m);
    }

    // Corner i's (sx, sy) of the triangles first .. first + 7, times 16.
    static void positions(const TriangleBatch::Corners& c, int first, int i, F& fx, F& fy) {
        const __m256 p0145 =
            _mm256_set_m128(pair(c[first + 4][i], c[first + 5][i]), pair(c[first][i], c[first + 1][i]));
        const __m256 p2367 =
            _mm256_set_m128(pair(c[first + 6][i], c[first + 7][i]), pair(c[first + 2][i], c[first + 3][i]));
        const __m256 scale = _mm256_set1_ps(Rasterizer::kSubpixels);
        fx = _mm256_mul_ps(_mm256_shuffle_ps(p0145, p2367, _MM_SHUFFLE(2, 0, 2, 0)), scale);
        fy = _mm256_mul_ps(_mm256_shuffle_ps(p0145, p2367, _MM_SHUFFLE(3, 1, 3, 1)), scale);
    }

    static __m128 pair(const ProcessedVertex* a, const ProcessedVertex* b) { return lanes4::L::pair(a, b); }
    // Two 16-bit values per lane, for _mm256_madd_epi16: low + high << 16.
    static I pair16(I low, I high) {
        return _mm256_or_si256(_mm256_and_si256(low, _mm256_set1_epi32(0xFFFF)), _mm256_slli_epi32(high, 16));
    }
};

#include "softgpu/PositionStage.h"

}  // namespace lanes8
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

}  // namespace
#endif

void Rasterizer::drawBatch(TriangleBatch& batch) {
    const int count = batch.count;
    batch.count = 0;
    auto& corners = batch.corners;
#if defined(__SSE2__)
    if (count > 0) {
        for (int k = count; k < TriangleBatch::kSize; ++k)
            for (int i = 0; i < 3; ++i) corners[k][i] = corners[0][i];
        const int lanes = (1 << count) - 1;
        BatchLanes l;
        bool any = false;
#if defined(TRYSTER_EIGHT_LANES)
        if (eightWide_)
            any = lanes8::positionStage<lanes8::L>(corners, 0, lanes, state_.cull, state_.clip, l);
        else
#endif
            for (int first = 0; first < count; first += lanes4::L::kCount)
                any |= lanes4::positionStage<lanes4::L>(corners, first, lanes >> first, state_.cull, state_.clip, l);
        if (!any) return;
        if (l.drawn) uniteExtent(l.extent.left, l.extent.top, l.extent.right, l.extent.bottom);
        // The triangles to draw, in order: which lanes culling left is not
        // to be foreseen, so they are taken from a mask, not tested in turn.
        for (int todo = (l.wide | (l.drawn & ~l.empty)) & lanes; todo != 0; todo &= todo - 1) {
            const int k = __builtin_ctz(static_cast<unsigned>(todo));
            const ProcessedVertex* const* c = corners[k];
            if (l.wide >> k & 1) {
                drawTriangle(*c[0], *c[1], *c[2]);
                continue;
            }
            if (!admitted(l.bounds[0][k], l.bounds[1][k], l.bounds[2][k], l.bounds[3][k])) continue;
            const bool turn = l.turned >> k & 1;
            const ProcessedVertex* v[3] = {c[0], turn ? c[2] : c[1], turn ? c[1] : c[2]};
            if (quads_ && finishQuads(v, l, k)) continue;
            const auto& at = l.positions;
            const Positions p{at[0][k], at[1][k], at[2][k], at[3][k], at[4][k], at[5][k], at[6][k], at[7][k]};
            Setup s;
            l.edgesOf(k, s);
            finish(s, v, p);
        }
        return;
    }
#endif
    for (int k = 0; k < count; ++k) drawTriangle(*corners[k][0], *corners[k][1], *corners[k][2]);
}

#if defined(__SSE2__)
bool Rasterizer::finishQuads(const ProcessedVertex* const v[3], const BatchLanes& lanes, int k) {
    // (sz, rhw, u, v) of each vertex: finish() and textureLook() in
    // vectors. Coordinates that need moving go there.
    __m128 depth[3];
    for (int i = 0; i < 3; ++i) depth[i] = _mm_load_ps(&v[i]->sz);
    const bool textured = state_.texture != nullptr;
    TextureLook look;
    if (textured) {
        const __m128 sign = _mm_set1_ps(-0.0f);
        const __m128 magnitude = _mm_max_ps(_mm_max_ps(_mm_andnot_ps(sign, depth[0]), _mm_andnot_ps(sign, depth[1])),
                                            _mm_andnot_ps(sign, depth[2]));
        if ((_mm_movemask_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(kSafeTexCoord))) & 0xC) != 0xC) return false;
        if (state_.perspective) {
            const __m128 most = _mm_max_ps(_mm_max_ps(depth[0], depth[1]), depth[2]);
            const __m128 least = _mm_min_ps(_mm_min_ps(depth[0], depth[1]), depth[2]);
            look.perspective =
                _mm_movemask_ps(_mm_cmpgt_ps(_mm_sub_ps(most, least), _mm_mul_ps(most, _mm_set1_ps(1e-6f)))) & 2;
        }
        const float u[3] = {v[0]->u, v[1]->u, v[2]->u}, w[3] = {v[0]->v, v[1]->v, v[2]->v};
        look.bilinear = filterFor(u, w, lanes.positions[4][k]) == platform::texture_filter::kLinear;
        // u and v times rhw when perspective-correct, and times 65536 (see
        // QuadTriangle): both exact as drawBlock's.
        for (__m128& d : depth) {
            if (look.perspective) d = _mm_mul_ps(d, _mm_shuffle_ps(_mm_set1_ps(1), d, _MM_SHUFFLE(1, 1, 0, 0)));
            d = _mm_mul_ps(d, _mm_setr_ps(1, 1, 65536.0f, 65536.0f));
        }
    }

    // finish()'s planes, from the lane's Positions.
    auto position = [&](int field) { return _mm_set1_ps(lanes.positions[field][k]); };
    const __m128 dx1 = position(0), dy1 = position(1), dx2 = position(2), dy2 = position(3), inv = position(5),
                 ox = position(6), oy = position(7);
    auto solve = [&](__m128 a0, __m128 a1, __m128 a2, __m128& at, __m128& right, __m128& down) {
        const __m128 d1 = _mm_sub_ps(a1, a0), d2 = _mm_sub_ps(a2, a0);
        right = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(d1, dy2), _mm_mul_ps(d2, dy1)), inv);
        down = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(d2, dx1), _mm_mul_ps(d1, dx2)), inv);
        at = _mm_add_ps(_mm_add_ps(a0, _mm_mul_ps(right, ox)), _mm_mul_ps(down, oy));
    };
    QuadTriangle t;
    solve(depth[0], depth[1], depth[2], t.depth, t.depthRight, t.depthDown);
    if (state_.gouraud) {
        solve(_mm_load_ps(&v[0]->b), _mm_load_ps(&v[1]->b), _mm_load_ps(&v[2]->b), t.colour, t.colourRight,
              t.colourDown);
    } else {
        t.colour = _mm_load_ps(&v[0]->b);
        t.colourRight = t.colourDown = _mm_setzero_ps();
    }
    const int xmin = lanes.bounds[0][k], xmax = lanes.bounds[1][k], ymin = lanes.bounds[2][k],
              ymax = lanes.bounds[3][k];
    if (isSmall(xmin, xmax, ymin, ymax)) {
        // One block from the first pixel (as quadBlock() makes it); the
        // edges there fit 32 bits as they are.
        QuadBlock b;
        b.depth = valueAt(t.depth, t.depthRight, t.depthDown, 0, 0);
        b.depthRight = t.depthRight;
        b.depthDown = t.depthDown;
        b.colour = valueAt(t.colour, t.colourRight, t.colourDown, 0, 0);
        b.colourRight = t.colourRight;
        b.colourDown = t.colourDown;
        for (int i = 0; i < 3; ++i) b.edges.set(i, lanes.edges[i][k], lanes.edges[3 + i][k], lanes.edges[6 + i][k]);
        b.x0 = xmin;
        b.x1 = xmax;
        b.y0 = ymin;
        b.y1 = ymax;
        drawQuadBlock(b, QuadWalk(textured, look.perspective, look.bilinear, eightWide_), state_);
        return true;
    }
    lanes.edgesOf(k, t);
    drawQuadTriangle(t, QuadWalk(textured, look.perspective, look.bilinear, eightWide_), state_);
    return true;
}
#endif

}  // namespace tryster::softgpu
