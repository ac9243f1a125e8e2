#include "softgpu/VertexProcessor.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::softgpu {
namespace {

platform::DeviceVector toModel(const platform::DeviceMatrix& world, const platform::DeviceVector& v) {
    // (n·W)·L == n·(W·L): carry L by the transpose of the world rotation.
    return {world.m[0][0] * v.x + world.m[0][1] * v.y + world.m[0][2] * v.z,
            world.m[1][0] * v.x + world.m[1][1] * v.y + world.m[1][2] * v.z,
            world.m[2][0] * v.x + world.m[2][1] * v.y + world.m[2][2] * v.z};
}

platform::DeviceVector normalised(platform::DeviceVector v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0)) return {0, 0, 0};
    return {v.x / length, v.y / length, v.z / length};
}

platform::ColourValue times(const platform::ColourValue& a, const platform::ColourValue& b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}

float saturate255(float c) {
    return c <= 0 ? 0.0f : c >= 1 ? 255.0f : c * 255.0f;
}

}  // namespace

platform::DeviceMatrix multiply(const platform::DeviceMatrix& a, const platform::DeviceMatrix& b) {
    platform::DeviceMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] =
                a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

void LightingSetup::prepare(const platform::MaterialDesc& material, std::uint32_t ambientArgb,
                            const std::vector<platform::LightDesc>& worldLights,
                            const platform::DeviceMatrix& world) {
    platform::ColourValue ambient{static_cast<float>((ambientArgb >> 16) & 0xFF) / 255.0f,
                        static_cast<float>((ambientArgb >> 8) & 0xFF) / 255.0f,
                        static_cast<float>(ambientArgb & 0xFF) / 255.0f, 1.0f};
    base = {material.emissive.r + material.ambient.r * ambient.r,
            material.emissive.g + material.ambient.g * ambient.g,
            material.emissive.b + material.ambient.b * ambient.b, 0};
    alpha = material.diffuse.a;
    lights.clear();
    for (const platform::LightDesc& l : worldLights) {
        if (l.type != platform::LightType::Directional) continue;
        platform::DeviceVector toLight = normalised({-l.direction.x, -l.direction.y, -l.direction.z});
        lights.push_back({toModel(world, toLight), times(material.diffuse, l.colour)});
    }
}

namespace {

void processOne(const platform::DeviceVertex& s, ProcessedVertex& o, const platform::DeviceMatrix& t, const ScreenMapping& mapping,
                const LightingSetup* lighting) {
    const auto& m = t.m;
    o.cx = s.x * m[0][0] + s.y * m[1][0] + s.z * m[2][0] + m[3][0];
    o.cy = s.x * m[0][1] + s.y * m[1][1] + s.z * m[2][1] + m[3][1];
    o.cz = s.x * m[0][2] + s.y * m[1][2] + s.z * m[2][2] + m[3][2];
    o.cw = s.x * m[0][3] + s.y * m[1][3] + s.z * m[2][3] + m[3][3];
    o.clip = clipCode(o.cx, o.cy, o.cz, o.cw);
    if (o.clip == 0) mapping.project(o);
    o.u = s.u;
    o.v = s.v;
    if (!lighting) {
        o.r = o.g = o.b = o.a = 255.0f;
        return;
    }
    float r = lighting->base.r, g = lighting->base.g, b = lighting->base.b;
    for (const LightingSetup::Directional& l : lighting->lights) {
        float d = s.nx * l.toLight.x + s.ny * l.toLight.y + s.nz * l.toLight.z;
        if (d > 0) {
            r += d * l.diffuse.r;
            g += d * l.diffuse.g;
            b += d * l.diffuse.b;
        }
    }
    o.r = saturate255(r);
    o.g = saturate255(g);
    o.b = saturate255(b);
    o.a = saturate255(lighting->alpha);
}

#if defined(__SSE2__)
// Four vertices at once, lane k the k-th: processOne's operations in the
// same order, so the same results (lighting by more than kMaxLights stays
// with processOne). The constants
// are spread over the lanes once per draw.
class FourAtOnce {
public:
    static constexpr std::size_t kMaxLights = 8;

    FourAtOnce(const platform::DeviceMatrix& t, const ScreenMapping& mapping, const LightingSetup* lighting) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) m_[i][j] = _mm_set1_ps(t.m[i][j]);
        scaleX_ = _mm_set1_ps(mapping.scaleX);
        offsetX_ = _mm_set1_ps(mapping.offsetX);
        scaleY_ = _mm_set1_ps(mapping.scaleY);
        offsetY_ = _mm_set1_ps(mapping.offsetY);
        lit_ = lighting != nullptr;
        if (!lit_) return;
        base_[0] = _mm_set1_ps(lighting->base.r);
        base_[1] = _mm_set1_ps(lighting->base.g);
        base_[2] = _mm_set1_ps(lighting->base.b);
        alpha_ = _mm_set1_ps(saturate255(lighting->alpha));
        for (const LightingSetup::Directional& l : lighting->lights)
            lights_[lightCount_++] = {
                {_mm_set1_ps(l.toLight.x), _mm_set1_ps(l.toLight.y), _mm_set1_ps(l.toLight.z)},
                {_mm_set1_ps(l.diffuse.r), _mm_set1_ps(l.diffuse.g), _mm_set1_ps(l.diffuse.b)}};
    }

    void process(const platform::DeviceVertex* in, ProcessedVertex* out) const {
        __m128 x = _mm_loadu_ps(&in[0].x), y = _mm_loadu_ps(&in[1].x), z = _mm_loadu_ps(&in[2].x),
               nx = _mm_loadu_ps(&in[3].x);
        _MM_TRANSPOSE4_PS(x, y, z, nx);
        __m128 ny = _mm_loadu_ps(&in[0].ny), nz = _mm_loadu_ps(&in[1].ny), u = _mm_loadu_ps(&in[2].ny),
               v = _mm_loadu_ps(&in[3].ny);
        _MM_TRANSPOSE4_PS(ny, nz, u, v);

        auto row = [&](int j) {
            return _mm_add_ps(
                _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, m_[0][j]), _mm_mul_ps(y, m_[1][j])), _mm_mul_ps(z, m_[2][j])),
                m_[3][j]);
        };
        __m128 cx = row(0), cy = row(1), cz = row(2), cw = row(3);

        // clipCode: a comparison that fails (NaN too) sets the plane's bit.
        auto outside = [](__m128 inside, std::uint32_t bit) {
            return _mm_andnot_si128(_mm_castps_si128(inside), _mm_set1_epi32(static_cast<int>(bit)));
        };
        const __m128 minusW = _mm_xor_ps(cw, _mm_set1_ps(-0.0f)), zero = _mm_setzero_ps();
        __m128i clip =
            _mm_or_si128(outside(_mm_cmpge_ps(cx, minusW), kClipLeft), outside(_mm_cmple_ps(cx, cw), kClipRight));
        clip = _mm_or_si128(clip, outside(_mm_cmpge_ps(cy, minusW), kClipBottom));
        clip = _mm_or_si128(clip, outside(_mm_cmple_ps(cy, cw), kClipTop));
        clip = _mm_or_si128(clip, outside(_mm_cmpge_ps(cz, zero), kClipFront));
        clip = _mm_or_si128(clip, outside(_mm_cmple_ps(cz, cw), kClipBack));
        clip = _mm_or_si128(clip, outside(_mm_cmpgt_ps(cw, _mm_set1_ps(1e-30f)), kClipFront));

        // ScreenMapping::project, worked out for every lane: the screen
        // fields of clipped vertices are not read.
        __m128 rhw = _mm_div_ps(_mm_set1_ps(1.0f), cw);
        __m128 sx = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(cx, rhw), scaleX_), offsetX_);
        __m128 sy = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(cy, rhw), scaleY_), offsetY_);
        __m128 sz = _mm_mul_ps(cz, rhw);

        __m128 r, g, b, a;
        if (!lit_) {
            r = g = b = a = _mm_set1_ps(255.0f);
        } else {
            r = base_[0];
            g = base_[1];
            b = base_[2];
            for (std::size_t i = 0; i < lightCount_; ++i) {
                const Light& l = lights_[i];
                const __m128 d = _mm_add_ps(_mm_add_ps(_mm_mul_ps(nx, l.toLight[0]), _mm_mul_ps(ny, l.toLight[1])),
                                            _mm_mul_ps(nz, l.toLight[2]));
                const __m128 lit = _mm_cmpgt_ps(d, zero);
                auto add = [&](__m128 c, __m128 diffuse) {
                    return _mm_or_ps(_mm_and_ps(lit, _mm_add_ps(c, _mm_mul_ps(d, diffuse))), _mm_andnot_ps(lit, c));
                };
                r = add(r, l.diffuse[0]);
                g = add(g, l.diffuse[1]);
                b = add(b, l.diffuse[2]);
            }
            r = saturate(r);
            g = saturate(g);
            b = saturate(b);
            a = alpha_;
        }

        __m128 clipBits = _mm_castsi128_ps(clip), none = zero;
        _MM_TRANSPOSE4_PS(cx, cy, cz, cw);
        _MM_TRANSPOSE4_PS(sz, rhw, u, v);
        _MM_TRANSPOSE4_PS(b, g, r, a);
        _MM_TRANSPOSE4_PS(sx, sy, clipBits, none);
        const __m128 groups[4][4] = {{cx, sz, b, sx}, {cy, rhw, g, sy}, {cz, u, r, clipBits}, {cw, v, a, none}};
        for (int k = 0; k < 4; ++k) {
            float* o = &out[k].cx;
            _mm_store_ps(o, groups[k][0]);
            _mm_store_ps(o + 4, groups[k][1]);
            _mm_store_ps(o + 8, groups[k][2]);
            _mm_store_ps(o + 12, groups[k][3]);
        }
    }

private:
    struct Light {
        __m128 toLight[3], diffuse[3];
    };

    // saturate255: 0 up to 0, 255 from 1, else times 255 (NaN too).
    static __m128 saturate(__m128 c) {
        const __m128 scaled = _mm_mul_ps(c, _mm_set1_ps(255.0f));
        const __m128 high = _mm_cmpge_ps(c, _mm_set1_ps(1.0f));
        const __m128 kept = _mm_or_ps(_mm_and_ps(high, _mm_set1_ps(255.0f)), _mm_andnot_ps(high, scaled));
        return _mm_andnot_ps(_mm_cmple_ps(c, _mm_setzero_ps()), kept);
    }

    __m128 m_[4][4];
    __m128 scaleX_, offsetX_, scaleY_, offsetY_;
    bool lit_ = false;
    __m128 base_[3]{}, alpha_{};
    Light lights_[kMaxLights];
    std::size_t lightCount_ = 0;
};
#endif

}  // namespace

void processVertices(const platform::DeviceVertex* in, std::uint32_t count, ProcessedVertex* out, const platform::DeviceMatrix& t,
                     const ScreenMapping& mapping, const LightingSetup* lighting) {
    std::uint32_t i = 0;
#if defined(__SSE2__)
    if (count >= 4 && (!lighting || lighting->lights.size() <= FourAtOnce::kMaxLights)) {
        const FourAtOnce four(t, mapping, lighting);
        for (; i + 4 <= count; i += 4) four.process(in + i, out + i);
    }
#endif
    for (; i < count; ++i) processOne(in[i], out[i], t, mapping, lighting);
}

}  // namespace tryster::softgpu
