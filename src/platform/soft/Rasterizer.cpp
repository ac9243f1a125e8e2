#include "platform/soft/Rasterizer.h"

#include "platform/GraphicsDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::platform::soft {

namespace {

constexpr int kSubpixels = 16;      // 28.4 fixed point
constexpr int kBlock = 8;           // pixels per block side
constexpr float kMaxCoord = 32768.0f;  // screen positions beyond this are garbage
constexpr float kMaxTexCoord = 8192.0f;

// a(x, y) = at + dx·(x − xmin) + dy·(y − ymin), at the pixel centres.
struct Plane {
    float at = 0, dx = 0, dy = 0;
    float value(float fx, float fy) const { return at + dx * fx + dy * fy; }
};

[[gnu::always_inline]] inline std::uint32_t lerpArgb(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    std::uint32_t rb = (((a & 0xFF00FF) * (256 - f) + (b & 0xFF00FF) * f) >> 8) & 0xFF00FF;
    std::uint32_t ag = (((a >> 8) & 0xFF00FF) * (256 - f) + ((b >> 8) & 0xFF00FF) * f) & 0xFF00FF00;
    return rb | ag;
}

// Wrap addressing: the fraction of the coordinate picks the texel.
[[gnu::always_inline]] inline std::uint32_t sampleNearest(const TextureView& t, float u, float v) {
    auto fu = static_cast<std::uint32_t>(static_cast<int>(u * 65536.0f)) & 0xFFFF;
    auto fv = static_cast<std::uint32_t>(static_cast<int>(v * 65536.0f)) & 0xFFFF;
    auto tx = static_cast<int>((fu * static_cast<std::uint32_t>(t.width)) >> 16);
    auto ty = static_cast<int>((fv * static_cast<std::uint32_t>(t.height)) >> 16);
    return t.texels[ty * t.pitch + tx];
}

[[gnu::always_inline]] inline void bilinearTap(float c, int size, int& i0, int& i1, std::uint32_t& f) {
    auto fc = static_cast<std::uint32_t>(static_cast<int>(c * 65536.0f)) & 0xFFFF;
    int p = static_cast<int>((fc * static_cast<std::uint32_t>(size)) >> 8) - 128;  // 24.8 texels
    i0 = p >> 8;
    f = static_cast<std::uint32_t>(p & 255);
    if (i0 < 0) i0 += size;
    i1 = i0 + 1 == size ? 0 : i0 + 1;
}

[[gnu::always_inline]] inline std::uint32_t sampleBilinear(const TextureView& t, float u, float v) {
    int x0, x1, y0, y1;
    std::uint32_t fx, fy;
    bilinearTap(u, t.width, x0, x1, fx);
    bilinearTap(v, t.height, y0, y1, fy);
    const std::uint32_t* r0 = t.texels + y0 * t.pitch;
    const std::uint32_t* r1 = t.texels + y1 * t.pitch;
    return lerpArgb(lerpArgb(r0[x0], r0[x1], fx), lerpArgb(r1[x0], r1[x1], fx), fy);
}

[[gnu::always_inline]] inline int channel(float c) { return std::min(static_cast<int>(c), 255); }

[[gnu::always_inline]] inline std::uint32_t modulate(std::uint32_t texel, int r, int g, int b) {
    std::uint32_t tr = (texel >> 16) & 255, tg = (texel >> 8) & 255, tb = texel & 255;
    tr = (tr * static_cast<std::uint32_t>(r + (r >> 7))) >> 8;
    tg = (tg * static_cast<std::uint32_t>(g + (g >> 7))) >> 8;
    tb = (tb * static_cast<std::uint32_t>(b + (b >> 7))) >> 8;
    return (tr << 16) | (tg << 8) | tb;
}

[[gnu::always_inline]] inline std::uint32_t addSaturate(std::uint32_t c, int r, int g, int b) {
    int cr = std::min(255, static_cast<int>((c >> 16) & 255) + r);
    int cg = std::min(255, static_cast<int>((c >> 8) & 255) + g);
    int cb = std::min(255, static_cast<int>(c & 255) + b);
    return (c & 0xFF000000) | (static_cast<std::uint32_t>(cr) << 16) | (static_cast<std::uint32_t>(cg) << 8) |
           static_cast<std::uint32_t>(cb);
}

bool depthPasses(std::uint32_t func, float z, float stored) {
    switch (func) {
        case compare_func::kNever: return false;
        case compare_func::kLess: return z < stored;
        case compare_func::kEqual: return z == stored;
        case compare_func::kLessEqual: return z <= stored;
        case compare_func::kGreater: return z > stored;
        case compare_func::kNotEqual: return z != stored;
        case compare_func::kGreaterEqual: return z >= stored;
        default: return true;
    }
}

// Per-channel weight 0..256 of a blend factor.
std::uint32_t factorWeight(std::uint32_t factor, std::uint32_t srcChannel, std::uint32_t srcAlpha) {
    switch (factor) {
        case blend_factor::kZero: return 0;
        case blend_factor::kSrcColor: return srcChannel + (srcChannel >> 7);
        case blend_factor::kInvSrcColor: return 256 - (srcChannel + (srcChannel >> 7));
        case blend_factor::kSrcAlpha: return srcAlpha + (srcAlpha >> 7);
        case blend_factor::kInvSrcAlpha: return 256 - (srcAlpha + (srcAlpha >> 7));
        default: return 256;
    }
}

// Blending by Direct3D's definition: src·srcFactor + dest·destFactor.
std::uint32_t blendColours(std::uint32_t src, std::uint32_t dst, std::uint32_t srcFactor, std::uint32_t destFactor) {
    std::uint32_t srcAlpha = src >> 24, out = src & 0xFF000000;
    for (int shift = 0; shift <= 16; shift += 8) {
        std::uint32_t s = (src >> shift) & 255, d = (dst >> shift) & 255;
        std::uint32_t v = (s * factorWeight(srcFactor, s, srcAlpha) + d * factorWeight(destFactor, s, srcAlpha)) >> 8;
        out |= std::min<std::uint32_t>(v, 255) << shift;
    }
    return out;
}

}  // namespace

struct Rasterizer::Setup {
    int xmin, xmax, ymin, ymax;
    std::int64_t e[3], ex[3], ey[3];
    Plane z, q, u, v, r, g, b, a, sr, sg, sb;
    bool hasSpecular;
};

namespace {

using Setup = Rasterizer::Setup;

template <bool Textured, bool Perspective, bool Bilinear>
[[gnu::always_inline]] inline std::uint32_t shade(const RasterState& st, float u, float v, float q, float r, float g, float b) {
    if constexpr (Textured) {
        if constexpr (Perspective) {
            float w = 1.0f / q;
            u *= w;
            v *= w;
        }
        std::uint32_t texel = Bilinear ? sampleBilinear(*st.texture, u, v) : sampleNearest(*st.texture, u, v);
        return modulate(texel, channel(r), channel(g), channel(b)) | (texel & 0xFF000000);
    } else {
        (void)st, (void)u, (void)v, (void)q;
        return (static_cast<std::uint32_t>(channel(r)) << 16) | (static_cast<std::uint32_t>(channel(g)) << 8) |
               static_cast<std::uint32_t>(channel(b));
    }
}

// One block (x0..x1, y0..y1 inclusive, inside the triangle's bounds).
// `Full` blocks lie wholly inside the triangle and skip the edge tests.
// `Fast` targets are 32-bit with LESSEQUAL depth writes and no blending.
template <bool Fast, bool Textured, bool Perspective, bool Bilinear, bool Full>
void drawBlock(const Setup& s, const RasterState& st, int x0, int x1, int y0, int y1) {
    SoftwareSurface& target = *st.target;
    const int bpp = target.description().format.bytesPerPixel();
    const StoreKind kind = target.storeKind();
    const auto fx = static_cast<float>(x0 - s.xmin), fy = static_cast<float>(y0 - s.ymin);
    // Values at the first pixel of each row, stepped down row by row.
    std::int64_t e0Row = s.e[0] + s.ex[0] * (x0 - s.xmin) + s.ey[0] * (y0 - s.ymin);
    std::int64_t e1Row = s.e[1] + s.ex[1] * (x0 - s.xmin) + s.ey[1] * (y0 - s.ymin);
    std::int64_t e2Row = s.e[2] + s.ex[2] * (x0 - s.xmin) + s.ey[2] * (y0 - s.ymin);
    float zRow = s.z.value(fx, fy), rRow = s.r.value(fx, fy), gRow = s.g.value(fx, fy), bRow = s.b.value(fx, fy);
    float uRow = 0, vRow = 0, qRow = 1;
    if constexpr (Textured) {
        uRow = s.u.value(fx, fy);
        vRow = s.v.value(fx, fy);
        if constexpr (Perspective) qRow = s.q.value(fx, fy);
    }
    [[maybe_unused]] float aRow = 0, srRow = 0, sgRow = 0, sbRow = 0;
    if constexpr (!Fast) {
        aRow = s.a.value(fx, fy);
        srRow = s.sr.value(fx, fy);
        sgRow = s.sg.value(fx, fy);
        sbRow = s.sb.value(fx, fy);
    }
    for (int y = y0; y <= y1; ++y) {
        std::int64_t e0 = e0Row, e1 = e1Row, e2 = e2Row;
        float* depthRow = st.depth ? st.depth + static_cast<std::ptrdiff_t>(y) * st.depthPitch : nullptr;
        std::uint8_t* colourRow = target.row(y);
        // Attributes are worked out only for the pixels that need them. A
        // triangle's pixels in a row are one run: after it, the row is done.
        bool entered = false;
        for (int x = x0; x <= x1; ++x) {
            if (!Full && (e0 | e1 | e2) < 0) {
                if (entered) break;
            } else {
                entered = true;
                const auto i = static_cast<float>(x - x0);
                const float z = zRow + s.z.dx * i;
                auto colour = [&] {
                    float u = 0, v = 0, q = 1;
                    if constexpr (Textured) {
                        u = uRow + s.u.dx * i;
                        v = vRow + s.v.dx * i;
                        if constexpr (Perspective) q = qRow + s.q.dx * i;
                    }
                    return shade<Textured, Perspective, Bilinear>(st, u, v, q, rRow + s.r.dx * i, gRow + s.g.dx * i,
                                                                  bRow + s.b.dx * i);
                };
                if constexpr (Fast) {
                    if (z <= depthRow[x]) {
                        depthRow[x] = z;
                        std::uint32_t c = colour() & 0xFFFFFF;
                        std::memcpy(colourRow + x * 4, &c, 4);
                    }
                } else {
                    bool pass = !st.depthTest || !depthRow || depthPasses(st.depthFunc, z, depthRow[x]);
                    if (pass) {
                        if (st.depthWrite && depthRow) depthRow[x] = z;
                        std::uint32_t c = colour();
                        if (!Textured || !st.texture->hasAlpha)
                            c = (c & 0xFFFFFF) | (static_cast<std::uint32_t>(channel(aRow + s.a.dx * i)) << 24);
                        if (s.hasSpecular)
                            c = addSaturate(c, channel(srRow + s.sr.dx * i), channel(sgRow + s.sg.dx * i),
                                            channel(sbRow + s.sb.dx * i));
                        std::uint8_t* p = colourRow + x * bpp;
                        if (st.blend)
                            c = blendColours(c, loadPixel(kind, p, target.paletteOrNull()), st.srcBlend,
                                             st.destBlend);
                        storePixel(kind, p, c, &target.paletteMap());
                    }
                }
            }
            e0 += s.ex[0];
            e1 += s.ex[1];
            e2 += s.ex[2];
        }
        e0Row += s.ey[0];
        e1Row += s.ey[1];
        e2Row += s.ey[2];
        zRow += s.z.dy;
        rRow += s.r.dy;
        gRow += s.g.dy;
        bRow += s.b.dy;
        if constexpr (Textured) {
            uRow += s.u.dy;
            vRow += s.v.dy;
            if constexpr (Perspective) qRow += s.q.dy;
        }
        if constexpr (!Fast) {
            aRow += s.a.dy;
            srRow += s.sr.dy;
            sgRow += s.sg.dy;
            sbRow += s.sb.dy;
        }
    }
}

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
    fast_ = state.target && state.target->storeKind() == StoreKind::Xrgb8888 && state.depth && state.depthTest &&
            state.depthWrite && state.depthFunc == compare_func::kLessEqual && !state.blend;
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

void Rasterizer::drawTriangle(const ProcessedVertex& va, const ProcessedVertex& vb, const ProcessedVertex& vc) {
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
    const float dx1 = static_cast<float>(X[1] - X[0]) / kSubpixels, dy1 = static_cast<float>(Y[1] - Y[0]) / kSubpixels;
    const float dx2 = static_cast<float>(X[2] - X[0]) / kSubpixels, dy2 = static_cast<float>(Y[2] - Y[0]) / kSubpixels;
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
    s.hasSpecular = state_.specular && (v[0]->sr + v[0]->sg + v[0]->sb + v[1]->sr + v[1]->sg + v[1]->sb + v[2]->sr +
                                        v[2]->sg + v[2]->sb) > 0;
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
