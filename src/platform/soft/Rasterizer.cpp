#include "platform/soft/Rasterizer.h"

#include "platform/GraphicsDevice.h"
#include "platform/soft/PixelPipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::platform::soft {

namespace {

constexpr int kSubpixels = 16;         // 28.4 fixed point
constexpr int kBlock = 8;              // pixels per block side
constexpr float kMaxCoord = 32768.0f;  // screen positions beyond this are garbage
constexpr float kMaxTexCoord = 8192.0f;

// The plane through three vertex values over the triangle's screen
// positions (relative to the first vertex), evaluated from the first pixel
// centre (ox, oy away from the first vertex).
struct PlaneSolver {
    float dx1, dy1, dx2, dy2, inv, ox, oy;
    [[gnu::always_inline]] Plane operator()(float a0, float a1, float a2) const {
        const float d1 = a1 - a0, d2 = a2 - a0;
        Plane p;
        p.dx = (d1 * dy2 - d2 * dy1) * inv;
        p.dy = (d2 * dx1 - d1 * dx2) * inv;
        p.at = a0 + p.dx * ox + p.dy * oy;
        return p;
    }
};

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

// Moves texture coordinates by whole repeats towards 0 (wrapping makes that
// invisible) and bounds them, so fixed-point conversion cannot overflow.
void normaliseTexCoords(float& c0, float& c1, float& c2) {
    for (float* c : {&c0, &c1, &c2})
        if (!std::isfinite(*c)) *c = 0;
    float shift = std::floor(std::min({c0, c1, c2}));
    for (float* c : {&c0, &c1, &c2}) *c = std::clamp(*c - shift, -kMaxTexCoord, kMaxTexCoord);
}

}  // namespace

void Rasterizer::setState(const RasterState& state) {
    state_ = state;
    fast_ = state.target && state.target->storeKind() == StoreKind::Xrgb8888 && state.depth &&
            state.depthTest && state.depthWrite && state.depthFunc == compare_func::kLessEqual &&
            !state.blend;
}

void Rasterizer::uniteExtent(int left, int top, int right, int bottom) {
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
    if (state_.cull == cull_mode::kCounterClockwise && area < 0) return;
    if (state_.cull == cull_mode::kClockwise && area > 0) return;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
        area = -area;
    }

    Setup s;
    const ScreenRect& clip = state_.clip;
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

    // Attribute planes from the snapped positions.
    const float x0 = static_cast<float>(X[0]) / kSubpixels, y0 = static_cast<float>(Y[0]) / kSubpixels;
    const float dx1 = static_cast<float>(X[1] - X[0]) / kSubpixels,
                dy1 = static_cast<float>(Y[1] - Y[0]) / kSubpixels;
    const float dx2 = static_cast<float>(X[2] - X[0]) / kSubpixels,
                dy2 = static_cast<float>(Y[2] - Y[0]) / kSubpixels;
    const float areaPixels = static_cast<float>(area) / (kSubpixels * kSubpixels);
    const float inv = 1.0f / areaPixels;
    const float ox = static_cast<float>(s.xmin) + 0.5f - x0, oy = static_cast<float>(s.ymin) + 0.5f - y0;
    const PlaneSolver plane{dx1, dy1, dx2, dy2, inv, ox, oy};
    s.z = plane(v[0]->sz, v[1]->sz, v[2]->sz);
    const ProcessedVertex& flat = va;  // flat shading takes the first vertex's colour
    auto colourPlane = [&](float ProcessedVertex::*field) {
        return state_.gouraud ? plane(v[0]->*field, v[1]->*field, v[2]->*field) : Plane{flat.*field, 0, 0};
    };
    s.r = colourPlane(&ProcessedVertex::r);
    s.g = colourPlane(&ProcessedVertex::g);
    s.b = colourPlane(&ProcessedVertex::b);
    s.a = fast_ ? Plane{} : colourPlane(&ProcessedVertex::a);
    s.hasSpecular = state_.specular && (v[0]->sr + v[0]->sg + v[0]->sb + v[1]->sr + v[1]->sg + v[1]->sb +
                                        v[2]->sr + v[2]->sg + v[2]->sb) > 0;
    if (s.hasSpecular) {
        s.sr = colourPlane(&ProcessedVertex::sr);
        s.sg = colourPlane(&ProcessedVertex::sg);
        s.sb = colourPlane(&ProcessedVertex::sb);
    } else {
        s.sr = s.sg = s.sb = Plane{};
    }

    const TextureView* tex = state_.texture;
    bool perspective = false, bilinear = false;
    if (tex) {
        float u[3] = {v[0]->u, v[1]->u, v[2]->u}, w[3] = {v[0]->v, v[1]->v, v[2]->v};
        // Small coordinates (the usual case) convert safely as they are.
        const float most = std::max({std::fabs(u[0]), std::fabs(u[1]), std::fabs(u[2]), std::fabs(w[0]),
                                     std::fabs(w[1]), std::fabs(w[2])});
        if (!(most < 4096.0f)) {
            normaliseTexCoords(u[0], u[1], u[2]);
            normaliseTexCoords(w[0], w[1], w[2]);
        }
        float q0 = v[0]->rhw, q1 = v[1]->rhw, q2 = v[2]->rhw;
        float qmax = std::max({q0, q1, q2}), qmin = std::min({q0, q1, q2});
        perspective = state_.perspective && qmax - qmin > qmax * 1e-6f;
        if (perspective) {
            s.q = plane(q0, q1, q2);
            s.u = plane(u[0] * q0, u[1] * q1, u[2] * q2);
            s.v = plane(w[0] * q0, w[1] * q1, w[2] * q2);
        } else {
            s.u = plane(u[0], u[1], u[2]);
            s.v = plane(w[0], w[1], w[2]);
        }
        // Magnified where a texel covers more than a pixel.
        float texels = std::fabs((u[1] - u[0]) * (w[2] - w[0]) - (u[2] - u[0]) * (w[1] - w[0])) *
                       static_cast<float>(tex->width) * static_cast<float>(tex->height);
        std::uint32_t filter = texels < areaPixels ? state_.magFilter : state_.minFilter;
        bilinear = filter == texture_filter::kLinear;
    }

    uniteExtent(s.xmin, s.ymin, s.xmax + 1, s.ymax + 1);

    BlockFn partial = fast_ ? pickBlock<true, false>(tex, perspective, bilinear)
                            : pickBlock<false, false>(tex, perspective, bilinear);
    BlockFn full = fast_ ? pickBlock<true, true>(tex, perspective, bilinear)
                         : pickBlock<false, true>(tex, perspective, bilinear);
    // Small triangles (most of a character) go in one piece.
    if (s.xmax - s.xmin < 2 * kBlock && s.ymax - s.ymin < 2 * kBlock) {
        partial(s, state_, s.xmin, s.xmax, s.ymin, s.ymax);
        return;
    }
    for (int by = s.ymin & ~(kBlock - 1); by <= s.ymax; by += kBlock) {
        const int y0b = std::max(by, s.ymin), y1b = std::min(by + kBlock - 1, s.ymax);
        for (int bx = s.xmin & ~(kBlock - 1); bx <= s.xmax; bx += kBlock) {
            const int x0b = std::max(bx, s.xmin), x1b = std::min(bx + kBlock - 1, s.xmax);
            bool covered = true, empty = false;
            for (int i = 0; i < 3 && !empty; ++i) {
                std::int64_t c00 = s.e[i] + s.ex[i] * (x0b - s.xmin) + s.ey[i] * (y0b - s.ymin);
                std::int64_t c10 = c00 + s.ex[i] * (x1b - x0b), c01 = c00 + s.ey[i] * (y1b - y0b);
                std::int64_t c11 = c10 + s.ey[i] * (y1b - y0b);
                if ((c00 & c10 & c01 & c11) < 0) empty = true;  // all four negative
                if ((c00 | c10 | c01 | c11) < 0) covered = false;
            }
            if (empty) continue;
            (covered ? full : partial)(s, state_, x0b, x1b, y0b, y1b);
        }
    }
}

}  // namespace tryster::platform::soft
