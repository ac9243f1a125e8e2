#include "softgpu/VertexProcessor.h"

#include "softgpu/Avx2.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__GNUC__) || defined(__clang__)
#define TRYSTER_EIGHT_LANES 1
#include <immintrin.h>
#endif
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
// The most lights the lanes take; more stay with processOne.
constexpr std::size_t kMaxLaneLights = 8;

// Four lanes on SSE2.
namespace lanes4 {

struct L {
    static constexpr std::uint32_t kCount = 4;
    using F = __m128;

    static F set(float v) { return _mm_set1_ps(v); }
    static F bits(std::uint32_t v) { return _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(v))); }
    static F zero() { return _mm_setzero_ps(); }
    static F add(F a, F b) { return _mm_add_ps(a, b); }
    static F mul(F a, F b) { return _mm_mul_ps(a, b); }
    static F div(F a, F b) { return _mm_div_ps(a, b); }
    static F bitAnd(F a, F b) { return _mm_and_ps(a, b); }
    static F bitOr(F a, F b) { return _mm_or_ps(a, b); }
    static F bitXor(F a, F b) { return _mm_xor_ps(a, b); }
    static F andNot(F a, F b) { return _mm_andnot_ps(a, b); }  // ~a & b
    // All ones where the comparison holds; NaN never does.
    static F atLeast(F a, F b) { return _mm_cmpge_ps(a, b); }
    static F atMost(F a, F b) { return _mm_cmple_ps(a, b); }
    static F above(F a, F b) { return _mm_cmpgt_ps(a, b); }
    static F unpackLow(F a, F b) { return _mm_unpacklo_ps(a, b); }
    static F unpackHigh(F a, F b) { return _mm_unpackhi_ps(a, b); }
    static F lowPairs(F a, F b) { return _mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 0, 1, 0)); }
    static F highPairs(F a, F b) { return _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 2, 3, 2)); }
    // Four floats at p (and, for a wider set, at p + apart).
    static F load(const float* p, std::ptrdiff_t) { return _mm_loadu_ps(p); }
    static void store(float* p, std::ptrdiff_t, F v) { _mm_store_ps(p, v); }
};

#include "softgpu/VertexStage.h"

}  // namespace lanes4

#if defined(TRYSTER_EIGHT_LANES)
// Eight lanes with AVX2, for processors that have it: two halves of four.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace lanes8 {

struct L {
    static constexpr std::uint32_t kCount = 8;
    using F = __m256;

    static F set(float v) { return _mm256_set1_ps(v); }
    static F bits(std::uint32_t v) { return _mm256_castsi256_ps(_mm256_set1_epi32(static_cast<int>(v))); }
    static F zero() { return _mm256_setzero_ps(); }
    static F add(F a, F b) { return _mm256_add_ps(a, b); }
    static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
    static F div(F a, F b) { return _mm256_div_ps(a, b); }
    static F bitAnd(F a, F b) { return _mm256_and_ps(a, b); }
    static F bitOr(F a, F b) { return _mm256_or_ps(a, b); }
    static F bitXor(F a, F b) { return _mm256_xor_ps(a, b); }
    static F andNot(F a, F b) { return _mm256_andnot_ps(a, b); }  // ~a & b
    static F atLeast(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_GE_OS); }
    static F atMost(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LE_OS); }
    static F above(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_GT_OS); }
    static F unpackLow(F a, F b) { return _mm256_unpacklo_ps(a, b); }
    static F unpackHigh(F a, F b) { return _mm256_unpackhi_ps(a, b); }
    static F lowPairs(F a, F b) { return _mm256_shuffle_ps(a, b, _MM_SHUFFLE(1, 0, 1, 0)); }
    static F highPairs(F a, F b) { return _mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 2, 3, 2)); }
    static F load(const float* p, std::ptrdiff_t apart) {
        return _mm256_set_m128(_mm_loadu_ps(p + apart), _mm_loadu_ps(p));
    }
    static void store(float* p, std::ptrdiff_t apart, F v) {
        _mm_store_ps(p, _mm256_castps256_ps128(v));
        _mm_store_ps(p + apart, _mm256_extractf128_ps(v, 1));
    }
};

#include "softgpu/VertexStage.h"

}  // namespace lanes8
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif
#endif

}  // namespace

void processVertices(const platform::DeviceVertex* in, std::uint32_t count, ProcessedVertex* out,
                     const platform::DeviceMatrix& t, const ScreenMapping& mapping, const LightingSetup* lighting,
                     VertexLanes lanes) {
    std::uint32_t i = 0;
#if defined(__SSE2__)
    if (lanes != VertexLanes::One && (!lighting || lighting->lights.size() <= kMaxLaneLights)) {
#if defined(TRYSTER_EIGHT_LANES)
        if (lanes == VertexLanes::Widest && hasAvx2())
            i = lanes8::processLanes<lanes8::L>(in, count, out, t, mapping, lighting);
#endif
        i += lanes4::processLanes<lanes4::L>(in + i, count - i, out + i, t, mapping, lighting);
    }
#endif
    for (; i < count; ++i) processOne(in[i], out[i], t, mapping, lighting);
}

}  // namespace tryster::softgpu
