#pragma once
// The pixel stage of the rasterizer: texture sampling (wrap addressing,
// nearest or bilinear), modulation by the Gouraud colour, the depth test
// and blending, and the walk over one block of a triangle's pixels.
// Included by the rasterizer's own files only.

#include "platform/GraphicsDevice.h"
#include "softgpu/Rasterizer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tryster::softgpu {

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

// A colour value 0..255 as an integer; values a little outside (rounding
// at a triangle's corners) are clamped.
[[gnu::always_inline]] inline int channel(float c) {
    return std::clamp(static_cast<int>(c), 0, 255);
}

[[gnu::always_inline]] inline std::uint32_t modulate(std::uint32_t texel, int r, int g, int b) {
    std::uint32_t tr = (texel >> 16) & 255, tg = (texel >> 8) & 255, tb = texel & 255;
    tr = (tr * static_cast<std::uint32_t>(r + (r >> 7))) >> 8;
    tg = (tg * static_cast<std::uint32_t>(g + (g >> 7))) >> 8;
    tb = (tb * static_cast<std::uint32_t>(b + (b >> 7))) >> 8;
    return (tr << 16) | (tg << 8) | tb;
}

inline bool depthPasses(std::uint32_t func, float z, float stored) {
    switch (func) {
        case platform::compare_func::kNever:
            return false;
        case platform::compare_func::kLess:
            return z < stored;
        case platform::compare_func::kEqual:
            return z == stored;
        case platform::compare_func::kLessEqual:
            return z <= stored;
        case platform::compare_func::kGreater:
            return z > stored;
        case platform::compare_func::kNotEqual:
            return z != stored;
        case platform::compare_func::kGreaterEqual:
            return z >= stored;
        default:
            return true;
    }
}

// Per-channel weight 0..256 of a blend factor.
inline std::uint32_t factorWeight(std::uint32_t factor, std::uint32_t srcChannel, std::uint32_t srcAlpha) {
    switch (factor) {
        case platform::blend_factor::kZero:
            return 0;
        case platform::blend_factor::kSrcColor:
            return srcChannel + (srcChannel >> 7);
        case platform::blend_factor::kInvSrcColor:
            return 256 - (srcChannel + (srcChannel >> 7));
        case platform::blend_factor::kSrcAlpha:
            return srcAlpha + (srcAlpha >> 7);
        case platform::blend_factor::kInvSrcAlpha:
            return 256 - (srcAlpha + (srcAlpha >> 7));
        default:
            return 256;
    }
}

// Blending by Direct3D's definition: src·srcFactor + dest·destFactor.
inline std::uint32_t blendColours(std::uint32_t src, std::uint32_t dst, std::uint32_t srcFactor,
                                  std::uint32_t destFactor) {
    std::uint32_t srcAlpha = src >> 24, out = src & 0xFF000000;
    for (int shift = 0; shift <= 16; shift += 8) {
        std::uint32_t s = (src >> shift) & 255, d = (dst >> shift) & 255;
        std::uint32_t v =
            (s * factorWeight(srcFactor, s, srcAlpha) + d * factorWeight(destFactor, s, srcAlpha)) >> 8;
        out |= std::min<std::uint32_t>(v, 255) << shift;
    }
    return out;
}

// Attribute planes come in groups of four, solved and stepped together.
enum PlaneGroup { kDepthTexture = 0, kColour = 1 };
// Lanes of kDepthTexture: depth, 1/w, and u and v (times 1/w when
// perspective-correct); of kColour: blue, green, red, alpha (a pixel's
// bytes).
enum PlaneLane { kZ = 0, kQ = 1, kU = 2, kV = 3, kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };

// An edge function in 32 bits near a triangle: a value beyond ±2^30 keeps
// its sign over the steps taken from it (at most 2 × 15 steps of at most
// 2^24 within a block), and the sign is all that counts.
[[gnu::always_inline]] inline std::int32_t nearEdge(std::int64_t e) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 30;
    return static_cast<std::int32_t>(std::clamp(e, -kLimit, kLimit));
}

struct Rasterizer::Setup {
    int xmin, xmax, ymin, ymax;
    // Edge functions at the first pixel centre (xmin, ymin) and their steps
    // per pixel right and down; a pixel is covered where all three are at
    // least 0.
    std::int64_t e[3], ex[3], ey[3];
    alignas(16) float at[2][4];
    alignas(16) float dx[2][4];
    alignas(16) float dy[2][4];
    Plane plane(PlaneGroup group, PlaneLane lane) const { return {at[group][lane], dx[group][lane], dy[group][lane]}; }
};

using Setup = Rasterizer::Setup;

// Calls draw(x0, x1, y0, y1, covered, at) for the blocks of a triangle
// with the given bounds and edges (as in Setup), `at` the three edges at
// the block's first pixel (x0, y0). A small triangle (most of a character)
// is one block; others go in 8 × 8 pixel blocks on the grid, those the
// triangle misses left out, `covered` set for those wholly inside it.
inline constexpr int kBlock = 8;
inline bool isSmall(int xmin, int xmax, int ymin, int ymax) {
    return xmax - xmin < 2 * kBlock && ymax - ymin < 2 * kBlock;
}

// The blocks forEachBlock visits, one at a time: for walks that keep the
// loop in their own function (and their own instruction set).
class BlockWalk {
public:
    BlockWalk(int xmin, int xmax, int ymin, int ymax, const std::int64_t e[3], const std::int64_t ex[3],
              const std::int64_t ey[3])
        : xmin_(xmin), xmax_(xmax), ymin_(ymin), ymax_(ymax), small_(isSmall(xmin, xmax, ymin, ymax)) {
        for (int i = 0; i < 3; ++i) {
            rowAt_[i] = e[i];
            ex_[i] = ex[i];
            ey_[i] = ey[i];
        }
        by_ = ymin & ~(kBlock - 1);
        startRow();
    }

    // The next block; false after the last.
    [[gnu::always_inline]] bool next() {
        if (small_) {
            if (done_) return false;
            done_ = true;
            x0 = xmin_;
            x1 = xmax_;
            y0 = ymin_;
            y1 = ymax_;
            covered = false;
            for (int i = 0; i < 3; ++i) at[i] = rowAt_[i];
            return true;
        }
        for (;;) {
            if (bx_ > xmax_) {  // the next row of blocks
                for (int i = 0; i < 3; ++i) rowAt_[i] += ey_[i] * (y1 + 1 - y0);
                by_ += kBlock;
                startRow();
            }
            if (by_ > ymax_) return false;
            x0 = std::max(bx_, xmin_);
            x1 = std::min(bx_ + kBlock - 1, xmax_);
            bool empty = false;
            covered = true;
            for (int i = 0; i < 3 && !empty; ++i) {
                const std::int64_t c00 = blockAt_[i], c10 = c00 + ex_[i] * (x1 - x0), c01 = c00 + down_[i],
                                   c11 = c10 + down_[i];
                if ((c00 & c10 & c01 & c11) < 0) empty = true;  // all four negative
                if ((c00 | c10 | c01 | c11) < 0) covered = false;
            }
            for (int i = 0; i < 3; ++i) {
                at[i] = blockAt_[i];
                blockAt_[i] += ex_[i] * (x1 + 1 - x0);
            }
            bx_ += kBlock;
            if (!empty) return true;
        }
    }

    // The block found by next(): its pixels (inclusive), whether the
    // triangle covers it whole, and the edges at its first pixel.
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool covered = false;
    std::int64_t at[3] = {};

private:
    // The row of blocks at by_, from its first block. The edges at the
    // first pixel of each block are stepped from block to block and from
    // row to row (exact: integers).
    void startRow() {
        y0 = std::max(by_, ymin_);
        y1 = std::min(by_ + kBlock - 1, ymax_);
        for (int i = 0; i < 3; ++i) {
            blockAt_[i] = rowAt_[i];
            down_[i] = ey_[i] * (y1 - y0);
        }
        bx_ = xmin_ & ~(kBlock - 1);
    }

    int xmin_, xmax_, ymin_, ymax_;
    bool small_, done_ = false;
    int by_, bx_;
    std::int64_t rowAt_[3], blockAt_[3], down_[3], ex_[3], ey_[3];
};

template <typename DrawBlock>
void forEachBlock(int xmin, int xmax, int ymin, int ymax, const std::int64_t e[3], const std::int64_t ex[3],
                  const std::int64_t ey[3], const DrawBlock& draw) {
    for (BlockWalk blocks(xmin, xmax, ymin, ymax, e, ex, ey); blocks.next();)
        draw(blocks.x0, blocks.x1, blocks.y0, blocks.y1, blocks.covered, blocks.at);
}

template <bool Textured, bool Perspective, bool Bilinear>
[[gnu::always_inline]] inline std::uint32_t shade([[maybe_unused]] const RasterState& st, [[maybe_unused]] float u,
                                                  [[maybe_unused]] float v, [[maybe_unused]] float q, float r,
                                                  float g, float b) {
    if constexpr (Textured) {
        if constexpr (Perspective) {
            float w = 1.0f / q;
            u *= w;
            v *= w;
        }
        std::uint32_t texel = Bilinear ? sampleBilinear(*st.texture, u, v) : sampleNearest(*st.texture, u, v);
        return modulate(texel, channel(r), channel(g), channel(b)) | (texel & 0xFF000000);
    } else {
        return (static_cast<std::uint32_t>(channel(r)) << 16) |
               (static_cast<std::uint32_t>(channel(g)) << 8) | static_cast<std::uint32_t>(channel(b));
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
    const Plane pz = s.plane(kDepthTexture, kZ), pq = s.plane(kDepthTexture, kQ),
                pu = s.plane(kDepthTexture, kU), pv = s.plane(kDepthTexture, kV);
    const Plane pr = s.plane(kColour, kRed), pg = s.plane(kColour, kGreen), pb = s.plane(kColour, kBlue),
                pa = s.plane(kColour, kAlpha);
    const auto fx = static_cast<float>(x0 - s.xmin), fy = static_cast<float>(y0 - s.ymin);
    // Values at the first pixel of each row, stepped down row by row.
    std::int64_t e0Row = s.e[0] + s.ex[0] * (x0 - s.xmin) + s.ey[0] * (y0 - s.ymin);
    std::int64_t e1Row = s.e[1] + s.ex[1] * (x0 - s.xmin) + s.ey[1] * (y0 - s.ymin);
    std::int64_t e2Row = s.e[2] + s.ex[2] * (x0 - s.xmin) + s.ey[2] * (y0 - s.ymin);
    float zRow = pz.value(fx, fy), rRow = pr.value(fx, fy), gRow = pg.value(fx, fy), bRow = pb.value(fx, fy);
    float uRow = 0, vRow = 0, qRow = 1;
    if constexpr (Textured) {
        uRow = pu.value(fx, fy);
        vRow = pv.value(fx, fy);
        if constexpr (Perspective) qRow = pq.value(fx, fy);
    }
    [[maybe_unused]] float aRow = 0;
    if constexpr (!Fast) aRow = pa.value(fx, fy);
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
                const float z = zRow + pz.dx * i;
                auto colour = [&] {
                    float u = 0, v = 0, q = 1;
                    if constexpr (Textured) {
                        u = uRow + pu.dx * i;
                        v = vRow + pv.dx * i;
                        if constexpr (Perspective) q = qRow + pq.dx * i;
                    }
                    return shade<Textured, Perspective, Bilinear>(st, u, v, q, rRow + pr.dx * i, gRow + pg.dx * i,
                                                                  bRow + pb.dx * i);
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
                            c = (c & 0xFFFFFF) | (static_cast<std::uint32_t>(channel(aRow + pa.dx * i)) << 24);
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
        zRow += pz.dy;
        rRow += pr.dy;
        gRow += pg.dy;
        bRow += pb.dy;
        if constexpr (Textured) {
            uRow += pu.dy;
            vRow += pv.dy;
            if constexpr (Perspective) qRow += pq.dy;
        }
        if constexpr (!Fast) aRow += pa.dy;
    }
}
}  // namespace tryster::softgpu
