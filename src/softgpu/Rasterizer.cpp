#include "softgpu/Rasterizer.h"

#include "platform/GraphicsDevice.h"
#include "softgpu/Float4.h"
#include "softgpu/PixelPipeline.h"
#include "softgpu/QuadPipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::softgpu {

namespace {

constexpr int kSubpixels = Rasterizer::kSubpixels;
bool gEightWideForbidden = false;
constexpr float kMaxCoord = 32768.0f;  // screen positions beyond this are garbage

using BlockFn = void (*)(const Setup&, const RasterState&, int, int, int, int);

template <bool Fast, bool Full>
BlockFn pickBlock(bool textured, bool perspective, bool bilinear) {
    if (!textured) return drawBlock<Fast, false, false, false, Full>;
    if (perspective)
        return bilinear ? drawBlock<Fast, true, true, true, Full> : drawBlock<Fast, true, true, false, Full>;
    return bilinear ? drawBlock<Fast, true, false, true, Full> : drawBlock<Fast, true, false, false, Full>;
}

// Round to nearest (ties to even) in one instruction where there is one.
[[gnu::always_inline]] inline int toFixed(float c) {
#if defined(__SSE2__)
    return _mm_cvtss_si32(_mm_set_ss(c * kSubpixels));
#else
    return static_cast<int>(std::nearbyint(c * kSubpixels));
#endif
}

}  // namespace

void Rasterizer::forbidEightWide(bool forbidden) { gEightWideForbidden = forbidden; }

void Rasterizer::setState(const RasterState& state) {
    state_ = state;
    fast_ = state.target && state.target->storeKind() == StoreKind::Xrgb8888 && state.depth &&
            state.depthTest && state.depthWrite && state.depthFunc == platform::compare_func::kLessEqual &&
            !state.blend;
    namespace cf = platform::compare_func;
    depthRejects_ = state.depth && state.depthTest &&
                    (state.depthFunc == cf::kLessEqual || state.depthFunc == cf::kLess ||
                     state.depthFunc == cf::kEqual || state.depthFunc == cf::kNever);
#if defined(__SSE2__)
    quads_ = fast_;
    eightWide_ = hasAvx2() && !gEightWideForbidden;
#endif
    if (state.texture) {
        textureWidth_ = static_cast<float>(state.texture->width);
        textureHeight_ = static_cast<float>(state.texture->height);
    }
}

void Rasterizer::uniteExtent(int left, int top, int right, int bottom) {
    if (ColumnSpan* bands = state_.touchedBands)
        for (int b = top / kTouchedBandRows, last = (bottom - 1) / kTouchedBandRows; b <= last; ++b) {
            ColumnSpan& s = bands[b];
            s = s.empty() ? ColumnSpan{left, right} : ColumnSpan{std::min(s.left, left), std::max(s.right, right)};
        }
    if (!hasExtent_) {
        extent_ = {left, top, right, bottom};
        hasExtent_ = true;
        return;
    }
    extent_.left = std::min(extent_.left, left);
    extent_.top = std::min(extent_.top, top);
    extent_.right = std::max(extent_.right, right);
    extent_.bottom = std::max(extent_.bottom, bottom);
}

bool Rasterizer::usable(const ProcessedVertex& v) {
    return std::fabs(v.sx) < kMaxCoord && std::fabs(v.sy) < kMaxCoord && std::isfinite(v.sz) &&
           std::isfinite(v.rhw);
}

void Rasterizer::drawTriangle(const ProcessedVertex& va, const ProcessedVertex& vb,
                              const ProcessedVertex& vc) {
    const ProcessedVertex* v[3] = {&va, &vb, &vc};
    int X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = toFixed(v[i]->sx);
        Y[i] = toFixed(v[i]->sy);
    }
    std::int64_t area = std::int64_t{X[1] - X[0]} * (Y[2] - Y[0]) - std::int64_t{X[2] - X[0]} * (Y[1] - Y[0]);
    if (area == 0) return;
    // With y pointing down, a positive area is clockwise on screen.
    if (state_.cull == platform::cull_mode::kCounterClockwise && area < 0) return;
    if (state_.cull == platform::cull_mode::kClockwise && area > 0) return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }

    Setup s;
    const platform::ScreenRect& clip = state_.clip;
    int minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    int minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    // Pixels whose centres (x·16 + 8) lie within the bounds.
    s.xmin = std::max((minX - 8 + kSubpixels - 1) >> 4, clip.left);
    s.xmax = std::min((maxX - 8) >> 4, clip.right - 1);
    s.ymin = std::max((minY - 8 + kSubpixels - 1) >> 4, clip.top);
    s.ymax = std::min((maxY - 8) >> 4, clip.bottom - 1);
    if (s.xmin > s.xmax || s.ymin > s.ymax) return;

    const int originX = s.xmin * kSubpixels + 8, originY = s.ymin * kSubpixels + 8;
    for (int i = 0; i < 3; ++i) {
        int j = (i + 1) % 3;
        std::int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
        s.ex[i] = -dy * kSubpixels;
        s.ey[i] = dx * kSubpixels;
        s.e[i] = -dy * (originX - X[i]) + dx * (originY - Y[i]);
        bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        if (!topLeft) s.e[i] -= 1;
    }
    Positions p;
    const float x0 = static_cast<float>(X[0]) / kSubpixels, y0 = static_cast<float>(Y[0]) / kSubpixels;
    p.dx1 = static_cast<float>(X[1] - X[0]) / kSubpixels;
    p.dy1 = static_cast<float>(Y[1] - Y[0]) / kSubpixels;
    p.dx2 = static_cast<float>(X[2] - X[0]) / kSubpixels;
    p.dy2 = static_cast<float>(Y[2] - Y[0]) / kSubpixels;
    p.areaPixels = static_cast<float>(area) / (kSubpixels * kSubpixels);
    p.inverseArea = 1.0f / p.areaPixels;
    p.ox = static_cast<float>(s.xmin) + 0.5f - x0;
    p.oy = static_cast<float>(s.ymin) + 0.5f - y0;
    uniteExtent(s.xmin, s.ymin, s.xmax + 1, s.ymax + 1);
    if (!admitted(s.xmin, s.xmax, s.ymin, s.ymax)) return;
    finish(s, v, p);
}

void Rasterizer::finish(Setup& s, const ProcessedVertex* const v[3], const Positions& p) {
    // Attribute planes from the snapped positions, four attributes at a
    // time: a(x, y) = at + dx·(x − xmin) + dy·(y − ymin), through the three
    // vertex values.
    const Float4 fdx1 = Float4::splat(p.dx1), fdy1 = Float4::splat(p.dy1), fdx2 = Float4::splat(p.dx2),
                 fdy2 = Float4::splat(p.dy2), inv = Float4::splat(p.inverseArea), ox = Float4::splat(p.ox),
                 oy = Float4::splat(p.oy);
    auto solve = [&](PlaneGroup group, Float4 a0, Float4 a1, Float4 a2) {
        const Float4 d1 = a1 - a0, d2 = a2 - a0;
        const Float4 pdx = (d1 * fdy2 - d2 * fdy1) * inv;
        const Float4 pdy = (d2 * fdx1 - d1 * fdx2) * inv;
        (a0 + pdx * ox + pdy * oy).store(s.at[group]);
        pdx.store(s.dx[group]);
        pdy.store(s.dy[group]);
    };
    // Flat shading takes the first vertex's colour (the first stays first
    // when the winding is turned).
    auto flat = [&](PlaneGroup group, const float* values) {
        Float4::load(values).store(s.at[group]);
        Float4::splat(0).store(s.dx[group]);
        Float4::splat(0).store(s.dy[group]);
    };
    if (state_.gouraud)
        solve(kColour, Float4::load(&v[0]->b), Float4::load(&v[1]->b), Float4::load(&v[2]->b));
    else
        flat(kColour, &v[0]->b);

    alignas(16) float values[3][4];
    for (int i = 0; i < 3; ++i) std::memcpy(values[i], &v[i]->sz, sizeof values[i]);
    const TextureLook look = textureLook(values, p.areaPixels);
    solve(kDepthTexture, Float4::load(values[0]), Float4::load(values[1]), Float4::load(values[2]));

#if defined(__SSE2__)
    if (quads_) {
        const bool textured = state_.texture != nullptr;
        drawQuadTriangle(quadTriangle(s, textured), QuadWalk(textured, look.perspective, look.bilinear, eightWide_),
                         state_);
        return;
    }
#endif
    const bool textured = state_.texture != nullptr;
    const BlockFn partial = fast_ ? pickBlock<true, false>(textured, look.perspective, look.bilinear)
                                  : pickBlock<false, false>(textured, look.perspective, look.bilinear);
    const BlockFn full = fast_ ? pickBlock<true, true>(textured, look.perspective, look.bilinear)
                               : pickBlock<false, true>(textured, look.perspective, look.bilinear);
    forEachBlock(s.xmin, s.xmax, s.ymin, s.ymax, s.e, s.ex, s.ey,
                 [&](int x0, int x1, int y0, int y1, bool covered, const std::int64_t*) {
                     (covered ? full : partial)(s, state_, x0, x1, y0, y1);
                 });
}

Rasterizer::TextureLook Rasterizer::textureLook(float (&values)[3][4], float areaPixels) const {
    TextureLook look;
    const TextureView* tex = state_.texture;
    if (!tex) return look;
    float u[3] = {values[0][kU], values[1][kU], values[2][kU]}, w[3] = {values[0][kV], values[1][kV], values[2][kV]};
    // Small coordinates (the usual case) convert safely as they are.
    const float most = std::max({std::fabs(u[0]), std::fabs(u[1]), std::fabs(u[2]), std::fabs(w[0]),
                                 std::fabs(w[1]), std::fabs(w[2])});
    if (!(most < kSafeTexCoord)) {
        normaliseTexCoords(u[0], u[1], u[2]);
        normaliseTexCoords(w[0], w[1], w[2]);
        for (int i = 0; i < 3; ++i) {
            values[i][kU] = u[i];
            values[i][kV] = w[i];
        }
    }
    const float q0 = values[0][kQ], q1 = values[1][kQ], q2 = values[2][kQ];
    const float qmax = std::max({q0, q1, q2}), qmin = std::min({q0, q1, q2});
    look.perspective = state_.perspective && qmax - qmin > qmax * 1e-6f;
    if (look.perspective)
        for (float* vertex : values) {
            vertex[kU] *= vertex[kQ];
            vertex[kV] *= vertex[kQ];
        }
    look.bilinear = filterFor(u, w, areaPixels) == platform::texture_filter::kLinear;
    return look;
}

void Rasterizer::normaliseTexCoords(float& c0, float& c1, float& c2) {
    for (float* c : {&c0, &c1, &c2})
        if (!std::isfinite(*c)) *c = 0;
    float shift = std::floor(std::min({c0, c1, c2}));
    for (float* c : {&c0, &c1, &c2}) *c = std::clamp(*c - shift, -kMaxTexCoord, kMaxTexCoord);
}

}  // namespace tryster::softgpu
