#pragma once
// Fills a row of 32-bit words with one value. The clears fill short rows
// by the thousand each frame: a vector loop with the last vector placed
// over the row's end has one end to foresee, where a loop of single words
// before and after the aligned part has three.

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tryster::softgpu {

// `Word` is a 32-bit integer or a float.
template <typename Word>
inline void fillWords(Word* row, int count, Word value) {
    static_assert(sizeof(Word) == 4, "a word of 32 bits");
#if defined(__SSE2__)
    if (count >= 4) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        const __m128i four = _mm_set1_epi32(static_cast<int>(bits));
        int i = 0;
        for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), four);
        if (i < count) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + count - 4), four);
        return;
    }
#endif
    for (int i = 0; i < count; ++i) row[i] = value;
}

}  // namespace tryster::softgpu
