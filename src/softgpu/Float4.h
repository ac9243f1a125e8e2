#pragma once
// Four floats worked on together: one SSE register where there is SSE2,
// four lanes one after the other elsewhere. Each lane gets exactly the
// operations a scalar expression would, so results are bit for bit the
// same either way.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::softgpu {

struct Float4 {
#if defined(__SSE2__)
    __m128 v;

    [[gnu::always_inline]] static Float4 load(const float* p) { return {_mm_loadu_ps(p)}; }
    [[gnu::always_inline]] static Float4 splat(float f) { return {_mm_set1_ps(f)}; }
    [[gnu::always_inline]] void store(float* p) const { _mm_storeu_ps(p, v); }
    [[gnu::always_inline]] friend Float4 operator+(Float4 a, Float4 b) { return {_mm_add_ps(a.v, b.v)}; }
    [[gnu::always_inline]] friend Float4 operator-(Float4 a, Float4 b) { return {_mm_sub_ps(a.v, b.v)}; }
    [[gnu::always_inline]] friend Float4 operator*(Float4 a, Float4 b) { return {_mm_mul_ps(a.v, b.v)}; }
#else
    float v[4];

    static Float4 load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
    static Float4 splat(float f) { return {{f, f, f, f}}; }
    void store(float* p) const {
        for (int i = 0; i < 4; ++i) p[i] = v[i];
    }
    friend Float4 operator+(Float4 a, Float4 b) {
        return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
    }
    friend Float4 operator-(Float4 a, Float4 b) {
        return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2], a.v[3] - b.v[3]}};
    }
    friend Float4 operator*(Float4 a, Float4 b) {
        return {{a.v[0] * b.v[0], a.v[1] * b.v[1], a.v[2] * b.v[2], a.v[3] * b.v[3]}};
    }
#endif
};

}  // namespace tryster::softgpu
