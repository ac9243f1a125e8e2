#pragma once
// Texturing and colour for the four pixels of a quad on SSE2, with the
// scalar formulas of PixelPipeline.h: wrap addressing, nearest or bilinear
// sampling, modulation by the Gouraud colour. Included by QuadPipeline.h.

#if defined(__SSE2__)

#include "softgpu/Rasterizer.h"

#include <emmintrin.h>

#include <cstdint>

namespace tryster::softgpu {

// Four texels by index. Every index is inside the texture: wrap addressing
// keeps even the lanes outside the triangle there.
[[gnu::always_inline]] inline __m128i gatherTexels(const std::uint32_t* texels, __m128i index) {
    const int i0 = _mm_cvtsi128_si32(index);
    const int i1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, _MM_SHUFFLE(1, 1, 1, 1)));
    const int i2 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, _MM_SHUFFLE(2, 2, 2, 2)));
    const int i3 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, _MM_SHUFFLE(3, 3, 3, 3)));
    const __m128i t01 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(texels[i0])),
                                           _mm_cvtsi32_si128(static_cast<int>(texels[i1])));
    const __m128i t23 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(texels[i2])),
                                           _mm_cvtsi32_si128(static_cast<int>(texels[i3])));
    return _mm_unpacklo_epi64(t01, t23);
}

// A coordinate times 65536 as sampleNearest and bilinearTap convert it; its
// low 16 bits are the fraction they take.
[[gnu::always_inline]] inline __m128i fixedCoordinate(__m128 scaled) { return _mm_cvttps_epi32(scaled); }

// The fraction (the low 16 bits of each lane) times a size below 2^15: the
// 16-bit multiplies see the size's high half as 0, so the high half of the
// coordinate drops out.
[[gnu::always_inline]] inline __m128i fractionTimes(__m128i coordinate, __m128i size) {
    return _mm_or_si128(_mm_slli_epi32(_mm_mulhi_epu16(coordinate, size), 16), _mm_mullo_epi16(coordinate, size));
}

// a + (b − a)·f/256 per 8-bit channel, as lerpArgb: (a·(256 − f) + b·f) / 256,
// rounded down, is a + ((b − a)·f) / 256 rounded down (a·256 is whole). In
// 16-bit channels that is the high half of (b − a)·128 times 2f, both
// within 16 bits signed. `twice` holds each pixel's 2f in its four
// channels.
[[gnu::always_inline]] inline __m128i lerpChannels(__m128i a, __m128i b, __m128i twice) {
    return _mm_add_epi16(a, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(b, a), 7), twice));
}

// Each lane's 0..255 weight, doubled, spread over the four 16-bit channels
// of its pixel: pixels 0 and 1 in `low`, 2 and 3 in `high`.
[[gnu::always_inline]] inline void spreadWeights(__m128i weights, __m128i& low, __m128i& high) {
    weights = _mm_add_epi32(weights, weights);
    const __m128i w16 = _mm_packs_epi32(weights, weights);  // 2·w0 2·w1 2·w2 2·w3 (twice)
    const __m128i pairs = _mm_unpacklo_epi16(w16, w16);      // 2·w0 2·w0 2·w1 2·w1 ...
    low = _mm_unpacklo_epi32(pairs, pairs);
    high = _mm_unpackhi_epi32(pairs, pairs);
}

class QuadTexture {
public:
    QuadTexture() = default;
    explicit QuadTexture(const TextureView& t)
        : texels_(t.texels),
          width_(_mm_set1_epi32(t.width)),
          height_(_mm_set1_epi32(t.height)),
          pitch_(_mm_set1_epi32(t.pitch)) {}

    // sampleNearest for four pixels, the coordinates times 65536.
    [[gnu::always_inline]] __m128i nearest(__m128 u, __m128 v) const {
        const __m128i tx = _mm_mulhi_epu16(fixedCoordinate(u), width_);
        const __m128i ty = _mm_mulhi_epu16(fixedCoordinate(v), height_);
        return gatherTexels(texels_, _mm_add_epi32(_mm_madd_epi16(ty, pitch_), tx));
    }

    // sampleBilinear for four pixels, the coordinates times 65536.
    [[gnu::always_inline]] __m128i bilinear(__m128 u, __m128 v) const {
        __m128i x0, x1, fx, y0, y1, fy;
        tap(u, width_, x0, x1, fx);
        tap(v, height_, y0, y1, fy);
        const __m128i row0 = _mm_madd_epi16(y0, pitch_), row1 = _mm_madd_epi16(y1, pitch_);
        const __m128i t00 = gatherTexels(texels_, _mm_add_epi32(row0, x0));
        const __m128i t01 = gatherTexels(texels_, _mm_add_epi32(row0, x1));
        const __m128i t10 = gatherTexels(texels_, _mm_add_epi32(row1, x0));
        const __m128i t11 = gatherTexels(texels_, _mm_add_epi32(row1, x1));
        __m128i fxLow, fxHigh, fyLow, fyHigh;
        spreadWeights(fx, fxLow, fxHigh);
        spreadWeights(fy, fyLow, fyHigh);
        const __m128i zero = _mm_setzero_si128();
        auto lerpTexels = [&](__m128i a, __m128i b, __m128i low, __m128i high, __m128i& outLow, __m128i& outHigh) {
            outLow = lerpChannels(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), low);
            outHigh = lerpChannels(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), high);
        };
        __m128i top0, top1, bottom0, bottom1;
        lerpTexels(t00, t01, fxLow, fxHigh, top0, top1);
        lerpTexels(t10, t11, fxLow, fxHigh, bottom0, bottom1);
        const __m128i low = lerpChannels(top0, bottom0, fyLow), high = lerpChannels(top1, bottom1, fyHigh);
        return _mm_packus_epi16(low, high);
    }

private:
    // bilinearTap: the two texel indices along one axis and the weight of
    // the second, 0..255.
    [[gnu::always_inline]] static void tap(__m128 c, __m128i size, __m128i& i0, __m128i& i1, __m128i& f) {
        const __m128i p =
            _mm_sub_epi32(_mm_srli_epi32(fractionTimes(fixedCoordinate(c), size), 8), _mm_set1_epi32(128));
        f = _mm_and_si128(p, _mm_set1_epi32(255));
        i0 = _mm_srai_epi32(p, 8);
        i0 = _mm_add_epi32(i0, _mm_and_si128(_mm_cmplt_epi32(i0, _mm_setzero_si128()), size));
        i1 = _mm_add_epi32(i0, _mm_set1_epi32(1));
        i1 = _mm_andnot_si128(_mm_cmpeq_epi32(i1, size), i1);
    }

    const std::uint32_t* texels_ = nullptr;
    __m128i width_{}, height_{}, pitch_{};
};

// channel() of the four pixels' colours (b, g, r, a each), as 16-bit
// lanes: pixels 0 and 1 in `top`, 2 and 3 in `bottom`.
[[gnu::always_inline]] inline void colourChannels(__m128 p0, __m128 p1, __m128 p2, __m128 p3, __m128i& top,
                                                  __m128i& bottom) {
    const __m128i zero = _mm_setzero_si128(), most = _mm_set1_epi16(255);
    top = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(_mm_cvttps_epi32(p0), _mm_cvttps_epi32(p1)), zero), most);
    bottom = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(_mm_cvttps_epi32(p2), _mm_cvttps_epi32(p3)), zero), most);
}

// modulate() of four texels by the colour channels; alpha comes out 0. A
// texel byte t goes high in its 16-bit lane, so the high half of t·256
// times the weight c + c / 128 (0..256) is modulate's (t × weight) / 256.
[[gnu::always_inline]] inline __m128i modulateQuad(__m128i texels, __m128i top, __m128i bottom) {
    const __m128i zero = _mm_setzero_si128();
    top = _mm_add_epi16(top, _mm_srli_epi16(top, 7));
    bottom = _mm_add_epi16(bottom, _mm_srli_epi16(bottom, 7));
    const __m128i low = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, texels), top);
    const __m128i high = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, texels), bottom);
    return _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(0xFFFFFF));
}

}  // namespace tryster::softgpu

#endif
