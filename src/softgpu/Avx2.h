#pragma once
// Whether the processor has AVX2, asked once. Code compiled for AVX2 (under
// a target attribute or pragma) runs only where this says yes; the asking
// itself is compiled for the baseline.

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))

namespace tryster::softgpu {

inline bool hasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

}  // namespace tryster::softgpu

#endif
