// Rasterizer::drawBatch: the position stage of four triangles at once on
// SSE2 (snapping, area and culling, bounds, edge functions), then each
// triangle's own set-up and drawing in order; triangles drawn by quads are
// set up straight from the lanes. Triangles wider or taller than
// kMaxSpan take drawTriangle's 64-bit path, as do all of them without SSE2.

#include "softgpu/Rasterizer.h"

#include "platform/GraphicsDevice.h"
#include "softgpu/PixelPipeline.h"
#include "softgpu/QuadPipeline.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::softgpu {

#if defined(__SSE2__)
namespace {

// Below this span in 1/16 pixels, every difference of positions fits 15
// bits and every product of two of them (areas, edge functions) 32.
constexpr int kMaxSpan = 1 << 14;

// Two 16-bit values per lane, for _mm_madd_epi16: low + high << 16.
[[gnu::always_inline]] inline __m128i pair16(__m128i low, __m128i high) {
    return _mm_or_si128(_mm_and_si128(low, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(high, 16));
}

[[gnu::always_inline]] inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The lowest of the lanes in `keep` (pixel positions, so floats hold them).
[[gnu::always_inline]] inline int lowest(__m128i v, __m128i keep) {
    __m128 f = _mm_or_ps(_mm_and_ps(_mm_castsi128_ps(keep), _mm_cvtepi32_ps(v)),
                         _mm_andnot_ps(_mm_castsi128_ps(keep), _mm_set1_ps(1e9f)));
    f = _mm_min_ps(f, _mm_shuffle_ps(f, f, _MM_SHUFFLE(1, 0, 3, 2)));
    f = _mm_min_ps(f, _mm_shuffle_ps(f, f, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtss_si32(f);
}

}  // namespace
#endif

void Rasterizer::drawBatch(TriangleBatch& batch) {
    const int count = batch.count;
    batch.count = 0;
#if !defined(__SSE2__)
    for (int k = 0; k < count; ++k)
        drawTriangle(*batch.corners[k][0], *batch.corners[k][1], *batch.corners[k][2]);
#else
    if (count == 0) return;
    auto& corners = batch.corners;
    for (int k = count; k < TriangleBatch::kSize; ++k)
        for (int i = 0; i < 3; ++i) corners[k][i] = corners[0][i];
    const int lanes = (1 << count) - 1;

    // Snapped positions, lane k the batch's triangle k: toFixed() four at a
    // time (the same rounding).
    __m128i X[3], Y[3];
    __m128 minX, maxX, minY, maxY;
    for (int i = 0; i < 3; ++i) {
        auto position = [&](int k) { return reinterpret_cast<const __m64*>(&corners[k][i]->sx); };
        const __m128 p01 = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), position(0)), position(1));
        const __m128 p23 = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), position(2)), position(3));
        const __m128 fx = _mm_mul_ps(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(2, 0, 2, 0)), _mm_set1_ps(kSubpixels));
        const __m128 fy = _mm_mul_ps(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(3, 1, 3, 1)), _mm_set1_ps(kSubpixels));
        X[i] = _mm_cvtps_epi32(fx);
        Y[i] = _mm_cvtps_epi32(fy);
        minX = i ? _mm_min_ps(minX, fx) : fx;
        maxX = i ? _mm_max_ps(maxX, fx) : fx;
        minY = i ? _mm_min_ps(minY, fy) : fy;
        maxY = i ? _mm_max_ps(maxY, fy) : fy;
    }
    // Rounding keeps order, so the bounds of the snapped positions are the
    // snapped bounds.
    const __m128i left = _mm_cvtps_epi32(minX), right = _mm_cvtps_epi32(maxX), top = _mm_cvtps_epi32(minY),
                  bottom = _mm_cvtps_epi32(maxY);
    const __m128i inSpan = _mm_and_si128(_mm_cmplt_epi32(_mm_sub_epi32(right, left), _mm_set1_epi32(kMaxSpan)),
                                         _mm_cmplt_epi32(_mm_sub_epi32(bottom, top), _mm_set1_epi32(kMaxSpan)));

    // Twice the signed area; with y pointing down, positive is clockwise.
    __m128i area = _mm_madd_epi16(pair16(_mm_sub_epi32(X[1], X[0]), _mm_sub_epi32(X[2], X[0])),
                                  pair16(_mm_sub_epi32(Y[2], Y[0]), _mm_sub_epi32(Y[0], Y[1])));
    const __m128i zero = _mm_setzero_si128();
    __m128i drawn = _mm_andnot_si128(_mm_cmpeq_epi32(area, zero), inSpan);
    if (state_.cull == platform::cull_mode::kCounterClockwise) drawn = _mm_and_si128(drawn, _mm_cmpgt_epi32(area, zero));
    if (state_.cull == platform::cull_mode::kClockwise) drawn = _mm_and_si128(drawn, _mm_cmplt_epi32(area, zero));
    const int wideLanes = ~_mm_movemask_ps(_mm_castsi128_ps(inSpan)) & lanes;
    if ((_mm_movemask_ps(_mm_castsi128_ps(drawn)) & lanes) == 0 && wideLanes == 0) return;

    // Counter-clockwise triangles that stay turn clockwise.
    const __m128i turned = _mm_cmplt_epi32(area, zero);
    const __m128i x1 = select(turned, X[2], X[1]), y1 = select(turned, Y[2], Y[1]);
    X[2] = select(turned, X[1], X[2]);
    Y[2] = select(turned, Y[1], Y[2]);
    X[1] = x1;
    Y[1] = y1;
    area = _mm_sub_epi32(_mm_xor_si128(area, turned), turned);

    // Pixels whose centres (x·16 + 8) lie within the bounds, clipped.
    const platform::ScreenRect& clip = state_.clip;
    auto atLeast = [](__m128i v, int limit) {
        const __m128i l = _mm_set1_epi32(limit);
        return select(_mm_cmplt_epi32(v, l), l, v);
    };
    auto atMost = [](__m128i v, int limit) {
        const __m128i l = _mm_set1_epi32(limit);
        return select(_mm_cmpgt_epi32(v, l), l, v);
    };
    const __m128i seven = _mm_set1_epi32(kSubpixels / 2 - 1), eight = _mm_set1_epi32(kSubpixels / 2);
    const __m128i xmin = atLeast(_mm_srai_epi32(_mm_add_epi32(left, seven), 4), clip.left);
    const __m128i xmax = atMost(_mm_srai_epi32(_mm_sub_epi32(right, eight), 4), clip.right - 1);
    const __m128i ymin = atLeast(_mm_srai_epi32(_mm_add_epi32(top, seven), 4), clip.top);
    const __m128i ymax = atMost(_mm_srai_epi32(_mm_sub_epi32(bottom, eight), 4), clip.bottom - 1);
    drawn = _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi32(xmin, xmax), _mm_cmpgt_epi32(ymin, ymax)), drawn);
    const int drawnLanes = _mm_movemask_ps(_mm_castsi128_ps(drawn)) & lanes;
    if (drawnLanes == 0 && wideLanes == 0) return;
    if (drawnLanes) {
        // The drawn lanes' bounds, all at once.
        const __m128i allOnes = _mm_set1_epi32(-1);
        uniteExtent(lowest(xmin, drawn), lowest(ymin, drawn), -lowest(_mm_sub_epi32(allOnes, xmax), drawn),
                    -lowest(_mm_sub_epi32(allOnes, ymax), drawn));
    }

    // Edge functions at the first pixel centre, top-left rule applied. The
    // origin lies within the bounds, so its distances to the vertices fit
    // 15 bits too.
    const __m128i originX = _mm_add_epi32(_mm_slli_epi32(xmin, 4), eight),
                  originY = _mm_add_epi32(_mm_slli_epi32(ymin, 4), eight);
    alignas(16) std::int32_t edges[9][4], bounds[4][4];
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const __m128i dx = _mm_sub_epi32(X[j], X[i]), dy = _mm_sub_epi32(Y[j], Y[i]);
        const __m128i e = _mm_madd_epi16(pair16(_mm_sub_epi32(zero, dy), dx),
                                         pair16(_mm_sub_epi32(originX, X[i]), _mm_sub_epi32(originY, Y[i])));
        const __m128i topLeft = _mm_or_si128(_mm_cmplt_epi32(dy, zero),
                                             _mm_and_si128(_mm_cmpeq_epi32(dy, zero), _mm_cmpgt_epi32(dx, zero)));
        _mm_store_si128(reinterpret_cast<__m128i*>(edges[i]),
                        _mm_add_epi32(e, _mm_andnot_si128(topLeft, _mm_set1_epi32(-1))));
        _mm_store_si128(reinterpret_cast<__m128i*>(edges[3 + i]), _mm_sub_epi32(zero, _mm_slli_epi32(dy, 4)));
        _mm_store_si128(reinterpret_cast<__m128i*>(edges[6 + i]), _mm_slli_epi32(dx, 4));
    }
    // A triangle whose bounds hold one quad or less often covers none of
    // its pixel centres (the small triangles of a detailed mesh): it is
    // left out before its planes are set up, as its walk would draw nothing.
    int emptyLanes = 0;
    {
        const __m128i two = _mm_set1_epi32(2), all = _mm_set1_epi32(-1);
        const __m128i oneQuad = _mm_and_si128(_mm_cmplt_epi32(_mm_sub_epi32(xmax, xmin), two),
                                              _mm_cmplt_epi32(_mm_sub_epi32(ymax, ymin), two));
        const __m128i wide = _mm_cmplt_epi32(xmin, xmax), tall = _mm_cmplt_epi32(ymin, ymax);
        auto row = [&](int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(edges[i])); };
        // Covered where all three edge functions are at least 0.
        auto covered = [&](bool toRight, bool toBottom) {
            __m128i signs = zero;
            for (int i = 0; i < 3; ++i) {
                __m128i e = row(i);
                if (toRight) e = _mm_add_epi32(e, row(3 + i));
                if (toBottom) e = _mm_add_epi32(e, row(6 + i));
                signs = _mm_or_si128(signs, e);
            }
            return _mm_andnot_si128(_mm_srai_epi32(signs, 31), all);
        };
        const __m128i any = _mm_or_si128(
            _mm_or_si128(covered(false, false), _mm_and_si128(covered(true, false), wide)),
            _mm_or_si128(_mm_and_si128(covered(false, true), tall),
                         _mm_and_si128(covered(true, true), _mm_and_si128(wide, tall))));
        emptyLanes = _mm_movemask_ps(_mm_castsi128_ps(_mm_andnot_si128(any, oneQuad)));
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(bounds[0]), xmin);
    _mm_store_si128(reinterpret_cast<__m128i*>(bounds[1]), xmax);
    _mm_store_si128(reinterpret_cast<__m128i*>(bounds[2]), ymin);
    _mm_store_si128(reinterpret_cast<__m128i*>(bounds[3]), ymax);

    // The positions as the planes take them (drawTriangle's formulas).
    const __m128 sixteenth = _mm_set1_ps(1.0f / kSubpixels);
    auto pixels = [&](__m128i v) { return _mm_mul_ps(_mm_cvtepi32_ps(v), sixteenth); };
    const __m128 areaPixels = _mm_mul_ps(_mm_cvtepi32_ps(area), _mm_set1_ps(1.0f / (kSubpixels * kSubpixels)));
    const __m128 half = _mm_set1_ps(0.5f);
    alignas(16) float positions[8][4];
    _mm_store_ps(positions[0], pixels(_mm_sub_epi32(X[1], X[0])));
    _mm_store_ps(positions[1], pixels(_mm_sub_epi32(Y[1], Y[0])));
    _mm_store_ps(positions[2], pixels(_mm_sub_epi32(X[2], X[0])));
    _mm_store_ps(positions[3], pixels(_mm_sub_epi32(Y[2], Y[0])));
    _mm_store_ps(positions[4], areaPixels);
    _mm_store_ps(positions[5], _mm_div_ps(_mm_set1_ps(1.0f), areaPixels));
    _mm_store_ps(positions[6], _mm_sub_ps(_mm_add_ps(_mm_cvtepi32_ps(xmin), half), pixels(X[0])));
    _mm_store_ps(positions[7], _mm_sub_ps(_mm_add_ps(_mm_cvtepi32_ps(ymin), half), pixels(Y[0])));
    const int turnedLanes = _mm_movemask_ps(_mm_castsi128_ps(turned));

    for (int k = 0; k < count; ++k) {
        const ProcessedVertex* const* c = corners[k];
        if (wideLanes >> k & 1) {
            drawTriangle(*c[0], *c[1], *c[2]);
            continue;
        }
        if (!(drawnLanes >> k & 1) || (emptyLanes >> k & 1)) continue;
        const bool turn = turnedLanes >> k & 1;
        const ProcessedVertex* v[3] = {c[0], turn ? c[2] : c[1], turn ? c[1] : c[2]};
        const Positions p{positions[0][k], positions[1][k], positions[2][k], positions[3][k],
                          positions[4][k], positions[5][k], positions[6][k], positions[7][k]};
        Setup s;
        s.xmin = bounds[0][k];
        s.xmax = bounds[1][k];
        s.ymin = bounds[2][k];
        s.ymax = bounds[3][k];
        for (int i = 0; i < 3; ++i) {
            s.e[i] = edges[i][k];
            s.ex[i] = edges[3 + i][k];
            s.ey[i] = edges[6 + i][k];
        }
        if (!quads_ || !finishQuads(v, p, s)) finish(s, v, p);
    }
#endif
}

#if defined(__SSE2__)
bool Rasterizer::finishQuads(const ProcessedVertex* const v[3], const Positions& p, const Setup& bounds) {
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
        look.bilinear = filterFor(u, w, p.areaPixels) == platform::texture_filter::kLinear;
        // u and v times rhw when perspective-correct, and times 65536 (see
        // QuadTriangle): both exact as drawBlock's.
        for (__m128& d : depth) {
            if (look.perspective) d = _mm_mul_ps(d, _mm_shuffle_ps(_mm_set1_ps(1), d, _MM_SHUFFLE(1, 1, 0, 0)));
            d = _mm_mul_ps(d, _mm_setr_ps(1, 1, 65536.0f, 65536.0f));
        }
    }

    // finish()'s planes.
    const __m128 dx1 = _mm_set1_ps(p.dx1), dy1 = _mm_set1_ps(p.dy1), dx2 = _mm_set1_ps(p.dx2),
                 dy2 = _mm_set1_ps(p.dy2), inv = _mm_set1_ps(p.inverseArea), ox = _mm_set1_ps(p.ox),
                 oy = _mm_set1_ps(p.oy);
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
    if (isSmall(bounds.xmin, bounds.xmax, bounds.ymin, bounds.ymax)) {
        // One block from the first pixel (as quadBlock() makes it); the
        // edges there fit 32 bits as they are.
        QuadBlock b;
        b.depth = valueAt(t.depth, t.depthRight, t.depthDown, 0, 0);
        b.depthRight = t.depthRight;
        b.depthDown = t.depthDown;
        b.colour = valueAt(t.colour, t.colourRight, t.colourDown, 0, 0);
        b.colourRight = t.colourRight;
        b.colourDown = t.colourDown;
        for (int i = 0; i < 3; ++i)
            b.edges.set(i, static_cast<std::int32_t>(bounds.e[i]), static_cast<std::int32_t>(bounds.ex[i]),
                        static_cast<std::int32_t>(bounds.ey[i]));
        b.x0 = bounds.xmin;
        b.x1 = bounds.xmax;
        b.y0 = bounds.ymin;
        b.y1 = bounds.ymax;
        QuadWalk(textured, look.perspective, look.bilinear, stamps_).pick<false>(b.y1 - b.y0 + 1)(b, state_);
        return true;
    }
    takeEdges(t, bounds);
    drawQuadTriangle(t, QuadWalk(textured, look.perspective, look.bilinear, stamps_), state_);
    return true;
}
#endif

}  // namespace tryster::softgpu
