#pragma once
// The quad walk (QuadPipeline.h) for processors with AVX2, chosen at run
// time: two quads on top of each other, a stamp of 2 × 4 pixels, go
// through eight-lane registers, and texels come by hardware gathers. Each
// lane sees the float and integer operations of drawQuads, so the pixels
// are the same bit for bit.
//
// A stamp may reach three rows past the block and the surface (the
// surfaces and the depth buffer keep spare rows for it); the lanes outside
// the block write back what they read. Included by QuadPipeline.h only.

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))

#include "softgpu/Avx2.h"
#include "softgpu/QuadBlock.h"

#include <immintrin.h>

#include <cassert>
#include <cstddef>
#include <cstdint>

#define TRYSTER_AVX2 __attribute__((target("avx2")))

namespace tryster::softgpu {

// Lanes of a stamp at (x, y), the columns x and x + 1 in turn: rows y and
// y + 2 in the low half, y + 1 and y + 3 in the high half. (AVX2 packs and
// shuffles work within halves; this order lets them build the stamp from
// the quad's rows without crossing.)

TRYSTER_AVX2 inline __m256 bothHalves(__m128 v) { return _mm256_set_m128(v, v); }
TRYSTER_AVX2 inline __m256i bothHalves(__m128i v) { return _mm256_set_m128i(v, v); }

// Each lane's row value of one attribute: lane `Lane` of the rows
// [r0 | r1] and [r2 | r3] in stamp order.
template <int Lane>
TRYSTER_AVX2 inline __m256 stampRows(__m256 rows01, __m256 rows23) {
    return _mm256_shuffle_ps(rows01, rows23, _MM_SHUFFLE(Lane, Lane, Lane, Lane));
}

// Two pixels from each of the four rows, in stamp order.
TRYSTER_AVX2 inline __m256 loadStamp(const float* p, std::ptrdiff_t pitch) {
    const __m128 low = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p)),
                                    reinterpret_cast<const __m64*>(p + 2 * pitch));
    const __m128 high = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p + pitch)),
                                     reinterpret_cast<const __m64*>(p + 3 * pitch));
    return _mm256_set_m128(high, low);
}
TRYSTER_AVX2 inline void storeStamp(float* p, std::ptrdiff_t pitch, __m256 v) {
    const __m128 low = _mm256_castps256_ps128(v), high = _mm256_extractf128_ps(v, 1);
    _mm_storel_pi(reinterpret_cast<__m64*>(p), low);
    _mm_storeh_pi(reinterpret_cast<__m64*>(p + 2 * pitch), low);
    _mm_storel_pi(reinterpret_cast<__m64*>(p + pitch), high);
    _mm_storeh_pi(reinterpret_cast<__m64*>(p + 3 * pitch), high);
}
TRYSTER_AVX2 inline __m256i loadStamp(const std::uint8_t* p, std::ptrdiff_t pitch) {
    auto row = [](const std::uint8_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
    return _mm256_set_m128i(_mm_unpacklo_epi64(row(p + pitch), row(p + 3 * pitch)),
                            _mm_unpacklo_epi64(row(p), row(p + 2 * pitch)));
}
TRYSTER_AVX2 inline void storeStamp(std::uint8_t* p, std::ptrdiff_t pitch, __m256i v) {
    const __m128i low = _mm256_castsi256_si128(v), high = _mm256_extracti128_si256(v, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), low);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 2 * pitch), _mm_unpackhi_epi64(low, low));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + pitch), high);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p + 3 * pitch), _mm_unpackhi_epi64(high, high));
}

TRYSTER_AVX2 inline __m256i gatherStamp(const std::uint32_t* texels, __m256i index) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), index, 4);
}

// lerpChannels and spreadWeights (QuadTexels.h) on eight pixels.
TRYSTER_AVX2 inline __m256i lerpStamp(__m256i a, __m256i b, __m256i twice) {
    return _mm256_add_epi16(a, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(b, a), 7), twice));
}
TRYSTER_AVX2 inline void spreadStampWeights(__m256i weights, __m256i& low, __m256i& high) {
    const __m256i twice = _mm256_add_epi32(weights, weights);
    const __m256i w16 = _mm256_packs_epi32(twice, twice);
    const __m256i pairs = _mm256_unpacklo_epi16(w16, w16);
    low = _mm256_unpacklo_epi32(pairs, pairs);
    high = _mm256_unpackhi_epi32(pairs, pairs);
}

class StampTexture {
public:
    TRYSTER_AVX2 explicit StampTexture(const TextureView& t)
        : texels_(t.texels),
          width_(_mm256_set1_epi32(t.width)),
          height_(_mm256_set1_epi32(t.height)),
          pitch_(_mm256_set1_epi32(t.pitch)) {}

    // QuadTexture::nearest, the coordinates times 65536, for the lanes in
    // `mask` (the others are 0: no texel is read for them).
    TRYSTER_AVX2 __m256i nearest(__m256 u, __m256 v, __m256i mask) const {
        const __m256i tx = _mm256_mulhi_epu16(_mm256_cvttps_epi32(u), width_);
        const __m256i ty = _mm256_mulhi_epu16(_mm256_cvttps_epi32(v), height_);
        return _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(texels_),
                                           _mm256_add_epi32(_mm256_madd_epi16(ty, pitch_), tx), mask, 4);
    }

    // QuadTexture::bilinear.
    TRYSTER_AVX2 __m256i bilinear(__m256 u, __m256 v) const {
        __m256i x0, x1, fx, y0, y1, fy;
        tap(u, width_, x0, x1, fx);
        tap(v, height_, y0, y1, fy);
        const __m256i row0 = _mm256_madd_epi16(y0, pitch_), row1 = _mm256_madd_epi16(y1, pitch_);
        // Each row's two texels side by side, read as one pair; where x1
        // wraps to 0 the second is read again from there.
        const __m256i wraps = _mm256_cmpeq_epi32(x1, _mm256_setzero_si256());
        __m256i t00, t01, t10, t11;
        gatherPairs(_mm256_add_epi32(row0, x0), t00, t01);
        gatherPairs(_mm256_add_epi32(row1, x0), t10, t11);
        if (!_mm256_testz_si256(wraps, wraps)) {
            t01 = _mm256_blendv_epi8(t01, gatherStamp(texels_, row0), wraps);
            t11 = _mm256_blendv_epi8(t11, gatherStamp(texels_, row1), wraps);
        }
        __m256i fxLow, fxHigh, fyLow, fyHigh;
        spreadStampWeights(fx, fxLow, fxHigh);
        spreadStampWeights(fy, fyLow, fyHigh);
        const __m256i zero = _mm256_setzero_si256();
        const __m256i top0 = lerpStamp(_mm256_unpacklo_epi8(t00, zero), _mm256_unpacklo_epi8(t01, zero), fxLow);
        const __m256i top1 = lerpStamp(_mm256_unpackhi_epi8(t00, zero), _mm256_unpackhi_epi8(t01, zero), fxHigh);
        const __m256i bottom0 = lerpStamp(_mm256_unpacklo_epi8(t10, zero), _mm256_unpacklo_epi8(t11, zero), fxLow);
        const __m256i bottom1 = lerpStamp(_mm256_unpackhi_epi8(t10, zero), _mm256_unpackhi_epi8(t11, zero), fxHigh);
        return _mm256_packus_epi16(lerpStamp(top0, bottom0, fyLow), lerpStamp(top1, bottom1, fyHigh));
    }

private:
    // The texels at `index` and one past it, for each lane. The texel
    // after the last of a texture is in its spare rows.
    TRYSTER_AVX2 void gatherPairs(__m256i index, __m256i& first, __m256i& second) const {
        const auto* base = reinterpret_cast<const long long*>(texels_);
        const __m256 low = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm256_castsi256_si128(index), 4));
        const __m256 high = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm256_extracti128_si256(index, 1), 4));
        // Lanes 0 1 4 5 | 2 3 6 7 after the shuffle, put in order by the permute.
        first = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0))),
                                         _MM_SHUFFLE(3, 1, 2, 0));
        second = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1))),
                                          _MM_SHUFFLE(3, 1, 2, 0));
    }

    TRYSTER_AVX2 static void tap(__m256 c, __m256i size, __m256i& i0, __m256i& i1, __m256i& f) {
        const __m256i fixed = _mm256_cvttps_epi32(c);
        const __m256i product =
            _mm256_or_si256(_mm256_slli_epi32(_mm256_mulhi_epu16(fixed, size), 16), _mm256_mullo_epi16(fixed, size));
        const __m256i p = _mm256_sub_epi32(_mm256_srli_epi32(product, 8), _mm256_set1_epi32(128));
        f = _mm256_and_si256(p, _mm256_set1_epi32(255));
        i0 = _mm256_srai_epi32(p, 8);
        i0 = _mm256_add_epi32(i0, _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), i0), size));
        i1 = _mm256_add_epi32(i0, _mm256_set1_epi32(1));
        i1 = _mm256_andnot_si256(_mm256_cmpeq_epi32(i1, size), i1);
    }

    const std::uint32_t* texels_;
    __m256i width_, height_, pitch_;
};

// A block's stamps are at most this many: a small triangle's block is
// below 16 × 16 pixels (isSmall), a large triangle's 8 × 8.
inline constexpr int kMaxBlockSide = 2 * kBlock;
inline constexpr int kMaxStamps = (kMaxBlockSide / 2) * (kMaxBlockSide / 4);

// Each lane's column in a block, for the stamps of each column of stamps;
// a stamp's left column is the first of its lanes.
struct StampColumns {
    alignas(32) float lanes[kMaxBlockSide / 2][8];
};
consteval StampColumns makeStampColumns() {
    StampColumns c;
    for (int column = 0; column < kMaxBlockSide / 2; ++column)
        for (int lane = 0; lane < 8; ++lane)
            c.lanes[column][lane] = static_cast<float>(2 * column + lane % 2);
    return c;
}
inline constexpr StampColumns kStampColumns = makeStampColumns();

// Moving the set lanes of a stamp to the front of a vector, in order, and
// back: for each mask of eight lanes, the lanes set, one per nibble from
// the lowest, and each set lane's place among them.
struct LanePacking {
    std::uint32_t pack[256] = {}, unpack[256] = {};
};
consteval LanePacking makeLanePacking() {
    LanePacking p;
    for (int mask = 0; mask < 256; ++mask)
        for (int lane = 0, place = 0; lane < 8; ++lane)
            if (mask >> lane & 1) {
                p.pack[mask] |= static_cast<std::uint32_t>(lane) << (4 * place);
                p.unpack[mask] |= static_cast<std::uint32_t>(place) << (4 * lane);
                ++place;
            }
    return p;
}
inline constexpr LanePacking kLanePacking = makeLanePacking();

TRYSTER_AVX2 inline __m256i laneIndices(std::uint32_t nibbles) {
    return _mm256_and_si256(_mm256_srlv_epi32(_mm256_set1_epi32(static_cast<int>(nibbles)),
                                              _mm256_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28)),
                            _mm256_set1_epi32(15));
}

// Modulates a stamp's colours, 16 bits a channel, by its texels and writes
// them where the stamp passed.
template <bool Textured>
TRYSTER_AVX2 inline void writeStamp(std::uint8_t* colour, std::ptrdiff_t pitch, __m256i low, __m256i high,
                                    [[maybe_unused]] __m256i texels, __m256i pass) {
    __m256i c;
    if constexpr (Textured) {
        const __m256i zero = _mm256_setzero_si256();
        low = _mm256_add_epi16(low, _mm256_srli_epi16(low, 7));
        high = _mm256_add_epi16(high, _mm256_srli_epi16(high, 7));
        c = _mm256_packus_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, texels), low),
                                _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, texels), high));
    } else {
        c = _mm256_packus_epi16(low, high);
    }
    c = _mm256_and_si256(c, _mm256_set1_epi32(0xFFFFFF));
    storeStamp(colour, pitch, _mm256_blendv_epi8(loadStamp(colour, pitch), c, pass));
}

// Bilinear stamps that passed, waiting for their texels, and their pixels'
// coordinates packed eight to a vector (a vector's worth of spare places
// past the last, for the last vector). A triangle's blocks share one
// queue: their pixels are distinct, so their colours may wait until the
// triangle's last block, and fewer vectors go out part empty.
struct StampQueue {
    static constexpr int kCapacity = kMaxStamps;
    struct Waiting {
        __m256i pass, low, high;
        std::uint8_t* colour;
        int first;  // of its pixels in the packed coordinates
    };
    Waiting waiting[kCapacity];
    alignas(32) float u[kCapacity * 8 + 8], v[kCapacity * 8 + 8];
    int count = 0, packed = 0;
};

// Fetches the waiting stamps' texels and writes their colours; empties the
// queue. For a queue with stamps in it only: only AVX2 code fills one, and
// this is AVX2 code too.
TRYSTER_AVX2 inline void flushStamps(StampQueue& q, const RasterState& st) {
    const StampTexture texture(*st.texture);
    const std::ptrdiff_t colourPitch = st.target->pitch();
    // The places past the last packed pixel hold coordinates too: any give
    // a texel inside the texture, and the middle of it takes no wrapped
    // pair (0 would, and cost two more gathers).
    const __m256 middle = _mm256_set1_ps(32768.0f);
    _mm256_storeu_ps(q.u + q.packed, middle);
    _mm256_storeu_ps(q.v + q.packed, middle);
    alignas(32) std::uint32_t texels[StampQueue::kCapacity * 8 + 8];
    int fetched = 0;
    for (; fetched < q.packed; fetched += 8)
        _mm256_store_si256(reinterpret_cast<__m256i*>(texels + fetched),
                           texture.bilinear(_mm256_load_ps(q.u + fetched), _mm256_load_ps(q.v + fetched)));
    // The last stamp's vector may reach past them, into lanes it leaves
    // out: they hold something all the same.
    _mm256_store_si256(reinterpret_cast<__m256i*>(texels + fetched), _mm256_setzero_si256());
    for (int k = 0; k < q.count; ++k) {
        const StampQueue::Waiting& w = q.waiting[k];
        const __m256i place = laneIndices(kLanePacking.unpack[_mm256_movemask_ps(_mm256_castsi256_ps(w.pass))]);
        const __m256i mine = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + w.first));
        writeStamp<true>(w.colour, colourPitch, w.low, w.high, _mm256_permutevar8x32_epi32(mine, place), w.pass);
    }
    q.count = q.packed = 0;
}

// What all of a triangle's stamps share, whatever their block: the planes'
// steps, the edges' steps in stamp form, the texture and the target.
struct StampSetup {
    __m256 dz, du, dv, dq;  // the planes' steps right, in each lane
    __m128 colourRight, depthDown, colourDown;
    // Each lane's edge values from the stamp's first pixel, and the steps
    // to the next stamp right (two pixels) and down (four).
    __m256i lanes[3], right[3], down[3];
    StampTexture texture;
    float* depth;
    std::ptrdiff_t depthPitch;
    std::uint8_t* colour;
    std::ptrdiff_t colourPitch;
    // From a stamp's first row to the rows of the places below it.
    std::ptrdiff_t depthRowsDown[kBlock / 4], colourRowsDown[kBlock / 4];

    // From a block's steps (the same in all of a triangle's blocks).
    TRYSTER_AVX2 StampSetup(const QuadBlock& b, const RasterState& st)
        : colourRight(b.colourRight),
          depthDown(b.depthDown),
          colourDown(b.colourDown),
          texture(st.texture ? StampTexture(*st.texture) : StampTexture(TextureView{})),
          depth(st.depth),
          depthPitch(st.depthPitch),
          colour(st.target->row(0)),
          colourPitch(st.target->pitch()) {
        const __m256 dx = bothHalves(b.depthRight);
        dz = _mm256_shuffle_ps(dx, dx, _MM_SHUFFLE(kZ, kZ, kZ, kZ));
        du = _mm256_shuffle_ps(dx, dx, _MM_SHUFFLE(kU, kU, kU, kU));
        dv = _mm256_shuffle_ps(dx, dx, _MM_SHUFFLE(kV, kV, kV, kV));
        dq = _mm256_shuffle_ps(dx, dx, _MM_SHUFFLE(kQ, kQ, kQ, kQ));
        for (int r = 0; r < kBlock / 4; ++r) {
            depthRowsDown[r] = 4 * r * depthPitch;
            colourRowsDown[r] = 4 * r * colourPitch;
        }
        for (int k = 0; k < 3; ++k) {
            // The quad's lanes from its first pixel, and the quad two rows
            // down, in stamp order.
            const __m128i quad = _mm_sub_epi32(b.edges.at[k], _mm_shuffle_epi32(b.edges.at[k], 0));
            const __m128i below = _mm_add_epi32(quad, b.edges.down[k]);
            lanes[k] = _mm256_set_m128i(_mm_unpackhi_epi64(quad, below), _mm_unpacklo_epi64(quad, below));
            right[k] = bothHalves(b.edges.right[k]);
            down[k] = bothHalves(_mm_add_epi32(b.edges.down[k], b.edges.down[k]));
        }
    }
};

// A block of a triangle: its pixels (inclusive), the planes' values at its
// first pixel and the edges' at the lanes of its first stamp.
struct StampBlock {
    int x0, x1, y0, y1;
    __m128 depth, colour;
    __m256i edges[3];

    // From the edges at its first pixel.
    TRYSTER_AVX2 StampBlock(int left, int right, int top, int bottom, __m128 depthAt, __m128 colourAt,
                            const std::int32_t (&at)[3], const StampSetup& s)
        : x0(left), x1(right), y0(top), y1(bottom), depth(depthAt), colour(colourAt) {
        for (int k = 0; k < 3; ++k) edges[k] = _mm256_add_epi32(_mm256_set1_epi32(at[k]), s.lanes[k]);
    }
    // A block on its own.
    TRYSTER_AVX2 explicit StampBlock(const QuadBlock& b)
        : x0(b.x0), x1(b.x1), y0(b.y0), y1(b.y1), depth(b.depth), colour(b.colour) {
        for (int k = 0; k < 3; ++k) {
            const __m128i below = _mm_add_epi32(b.edges.at[k], b.edges.down[k]);
            edges[k] = _mm256_set_m128i(_mm_unpackhi_epi64(b.edges.at[k], below),
                                        _mm_unpacklo_epi64(b.edges.at[k], below));
        }
    }
};

// drawQuads on stamps: quads (x, y) and (x, y + 2) at once. The stamps
// that hold a pixel of the triangle are found first, as a mask of the
// block's places for stamps, and only they are drawn (a small triangle
// leaves about a third of its block's stamps empty); the rows' values are
// stepped once for the block, not once for each column.
//
// `Side` bounds the block: kBlock for a block of the grid, whose eight
// places are all tried without a branch, or kMaxBlockSide for a small
// triangle's one block, tried only as far as it reaches. Places for
// stamps go kRows down each of kColumns columns, place k at column
// k / kRows and row k % kRows.
//
// Bilinear texels, four pairs of texels for each pixel, are fetched only
// for the pixels that passed the depth test: their coordinates are packed
// eight to a vector across the stamps (half a stamp's lanes pass, on the
// average) in `queue`, and the stamps' colours are written once their
// texels are fetched, when the queue is flushed. Each lane's texel depends
// on its coordinates alone, so the packing changes no pixel.

// A row of places' plane values: its rows r and r + 1 in one vector,
// r + 2 and r + 3 in the next.
struct PlaceRows {
    __m256 depth01, depth23, colour01, colour23;
};

// A block's stamps found: each place's lanes in the block and the
// triangle, each row of places' plane values, and the block's first pixel
// in the depth buffer and the target.
template <int Side>
struct BlockStamps {
    static_assert(Side == kBlock || Side == kMaxBlockSide);
    static constexpr int kColumns = Side / 2, kRows = Side / 4;
    static_assert(kColumns * kRows <= 32, "one bit a place");
    __m256i in[kColumns * kRows];
    PlaceRows rows[kRows];
    float* depth;
    std::uint8_t* colour;
};

// Finds a block's stamps: the places with any lanes in the block and the
// triangle, bit k for place k, with the rows' values for them (stepped one
// row at a time from the block's first).
template <int Side>
[[gnu::always_inline]] TRYSTER_AVX2 inline std::uint32_t findStamps(const StampSetup& s, const StampBlock& b,
                                                                    BlockStamps<Side>& out) {
    constexpr int kColumns = BlockStamps<Side>::kColumns, kRows = BlockStamps<Side>::kRows;
    const int x0 = b.x0, x1 = b.x1, y0 = b.y0, y1 = b.y1;
    assert(x1 - x0 < Side && y1 - y0 < Side);
    // Each lane's column and row in its stamp.
    const __m256i laneColumn = _mm256_setr_epi32(0, 1, 0, 1, 0, 1, 0, 1);
    const __m256i laneRow = _mm256_setr_epi32(0, 0, 2, 2, 1, 1, 3, 3);
    const int columns = Side == kBlock ? kColumns : (x1 - x0) / 2 + 1;
    const int rows = Side == kBlock ? kRows : (y1 - y0) / 4 + 1;

    std::uint32_t present = 0;
    __m256i edge[3] = {b.edges[0], b.edges[1], b.edges[2]};
    for (int c = 0; c < columns; ++c) {
        const __m256i columnIn = _mm256_cmpgt_epi32(_mm256_set1_epi32(x1 - x0 - 2 * c + 1), laneColumn);
        __m256i e0 = edge[0], e1 = edge[1], e2 = edge[2];
        for (int r = 0; r < rows; ++r) {
            __m256i lanes = _mm256_and_si256(
                columnIn, _mm256_cmpgt_epi32(_mm256_set1_epi32(y1 - y0 - 4 * r + 1), laneRow));
            lanes = _mm256_andnot_si256(_mm256_srai_epi32(_mm256_or_si256(_mm256_or_si256(e0, e1), e2), 31),
                                        lanes);
            e0 = _mm256_add_epi32(e0, s.down[0]);
            e1 = _mm256_add_epi32(e1, s.down[1]);
            e2 = _mm256_add_epi32(e2, s.down[2]);
            out.in[c * kRows + r] = lanes;
            present |= static_cast<std::uint32_t>(!_mm256_testz_si256(lanes, lanes)) << (c * kRows + r);
        }
        for (int k = 0; k < 3; ++k) edge[k] = _mm256_add_epi32(edge[k], s.right[k]);
    }
    if (present == 0) return 0;

    // Stored as they are loaded, so that the loads are forwarded from the
    // stores. A stamp starts at most Side - 4 rows down, so its rows end
    // within Side.
    __m128 depthRow = b.depth, colourRow = b.colour;
    for (int r = 0; r < rows; ++r) {
        PlaceRows& place = out.rows[r];
        __m128 depthBelow = _mm_add_ps(depthRow, s.depthDown);
        __m128 colourBelow = _mm_add_ps(colourRow, s.colourDown);
        place.depth01 = _mm256_set_m128(depthBelow, depthRow);
        place.colour01 = _mm256_set_m128(colourBelow, colourRow);
        depthRow = _mm_add_ps(depthBelow, s.depthDown);
        colourRow = _mm_add_ps(colourBelow, s.colourDown);
        depthBelow = _mm_add_ps(depthRow, s.depthDown);
        colourBelow = _mm_add_ps(colourRow, s.colourDown);
        place.depth23 = _mm256_set_m128(depthBelow, depthRow);
        place.colour23 = _mm256_set_m128(colourBelow, colourRow);
        depthRow = _mm_add_ps(depthBelow, s.depthDown);
        colourRow = _mm_add_ps(colourBelow, s.colourDown);
    }
    out.depth = s.depth + y0 * s.depthPitch + x0;
    out.colour = s.colour + y0 * s.colourPitch + x0 * 4;
    return present;
}

// Draws the stamp at place k of a block, or (bilinear) queues it.
template <bool Textured, bool Perspective, bool Bilinear, int Side>
[[gnu::always_inline]] TRYSTER_AVX2 inline void drawStamp(const StampSetup& s, const BlockStamps<Side>& block,
                                                          unsigned k, StampQueue& queue) {
    constexpr unsigned kRows = BlockStamps<Side>::kRows;
    const unsigned column = k / kRows, row = k % kRows;
    const float* const columnLanes = kStampColumns.lanes[column];
    const __m256 i = _mm256_load_ps(columnLanes);
    const PlaceRows& rows = block.rows[row];
    const __m256 depth01 = rows.depth01, depth23 = rows.depth23;
    // A grid block's rows of places are few and the same for the
    // triangle's blocks: their offsets are set up with the triangle.
    float* const depth =
        block.depth + (Side == kBlock ? s.depthRowsDown[row] : 4 * row * s.depthPitch) + 2 * column;
    std::uint8_t* const colour =
        block.colour + (Side == kBlock ? s.colourRowsDown[row] : 4 * row * s.colourPitch) + 8 * column;

    const __m256 z = _mm256_add_ps(stampRows<kZ>(depth01, depth23), _mm256_mul_ps(s.dz, i));
    const __m256 stored = loadStamp(depth, s.depthPitch);
    const __m256 pass = _mm256_and_ps(_mm256_cmp_ps(z, stored, _CMP_LE_OQ), _mm256_castsi256_ps(block.in[k]));
    if (_mm256_testz_ps(pass, pass)) return;
    storeStamp(depth, s.depthPitch, _mm256_blendv_ps(stored, z, pass));

    // Colour one vector per pixel, packed so that the stamp order comes
    // out (see the lane order above).
    const __m256 dLeft = bothHalves(_mm_mul_ps(s.colourRight, _mm_broadcast_ss(columnLanes))),
                 dRight = bothHalves(_mm_mul_ps(s.colourRight, _mm_broadcast_ss(columnLanes + 1)));
    const __m256 colour01 = rows.colour01, colour23 = rows.colour23;
    const __m256 top = _mm256_add_ps(colour01, dLeft), topRight = _mm256_add_ps(colour01, dRight),
                 bottom = _mm256_add_ps(colour23, dLeft), bottomRight = _mm256_add_ps(colour23, dRight);
    // channel(): packed with unsigned saturation (negatives to 0), then at
    // most 255.
    const __m256i most = _mm256_set1_epi16(255);
    const __m256i low =
        _mm256_min_epu16(_mm256_packus_epi32(_mm256_cvttps_epi32(top), _mm256_cvttps_epi32(topRight)), most);
    const __m256i high = _mm256_min_epu16(
        _mm256_packus_epi32(_mm256_cvttps_epi32(bottom), _mm256_cvttps_epi32(bottomRight)), most);
    __m256i texels = _mm256_setzero_si256();
    if constexpr (Textured) {
        __m256 u = _mm256_add_ps(stampRows<kU>(depth01, depth23), _mm256_mul_ps(s.du, i)),
               v = _mm256_add_ps(stampRows<kV>(depth01, depth23), _mm256_mul_ps(s.dv, i));
        if constexpr (Perspective) {
            const __m256 w = _mm256_div_ps(
                _mm256_set1_ps(1.0f), _mm256_add_ps(stampRows<kQ>(depth01, depth23), _mm256_mul_ps(s.dq, i)));
            u = _mm256_mul_ps(u, w);
            v = _mm256_mul_ps(v, w);
        }
        if constexpr (Bilinear) {
            const int lanes = _mm256_movemask_ps(pass);
            const __m256i order = laneIndices(kLanePacking.pack[lanes]);
            _mm256_storeu_ps(queue.u + queue.packed, _mm256_permutevar8x32_ps(u, order));
            _mm256_storeu_ps(queue.v + queue.packed, _mm256_permutevar8x32_ps(v, order));
            queue.waiting[queue.count++] = {_mm256_castps_si256(pass), low, high, colour, queue.packed};
            queue.packed += __builtin_popcount(static_cast<unsigned>(lanes));
            return;
        } else {
            texels = s.texture.nearest(u, v, _mm256_castps_si256(pass));
        }
    }
    writeStamp<Textured>(colour, s.colourPitch, low, high, texels, _mm256_castps_si256(pass));
}

// Draws the stamps found in N blocks, waiting (bit kPlaces·j + k for place
// k of block j): one loop for them all, whose end is not foreseen as often
// as one for each block's would be.
template <bool Textured, bool Perspective, bool Bilinear, int Side, std::size_t N>
[[gnu::always_inline]] TRYSTER_AVX2 inline void drawFoundStamps(const StampSetup& s,
                                                                const BlockStamps<Side> (&blocks)[N],
                                                                std::uint32_t waiting, const RasterState& st,
                                                                StampQueue& queue) {
    constexpr unsigned kPlaces = BlockStamps<Side>::kColumns * BlockStamps<Side>::kRows;
    static_assert(kPlaces * N <= 32 && StampQueue::kCapacity >= kPlaces * N,
                  "a bit and a place in the queue each");
    if constexpr (Textured && Bilinear)
        if (queue.count + __builtin_popcount(waiting) > StampQueue::kCapacity) flushStamps(queue, st);
    for (; waiting != 0; waiting &= waiting - 1) {
        const auto k = static_cast<unsigned>(__builtin_ctz(waiting));
        drawStamp<Textured, Perspective, Bilinear, Side>(s, blocks[k / kPlaces], k % kPlaces, queue);
    }
}

// A block on its own: a small triangle's one block, and one at a time
// where stamps are not drawn a triangle at once.
template <bool Textured, bool Perspective, bool Bilinear>
TRYSTER_AVX2 void drawStamps(const QuadBlock& b, const RasterState& st, StampQueue& queue) {
    const StampSetup setup(b, st);
    BlockStamps<kMaxBlockSide> found[1];
    const std::uint32_t present = findStamps(setup, StampBlock(b), found[0]);
    if (present != 0) drawFoundStamps<Textured, Perspective, Bilinear>(setup, found, present, st, queue);
}

}  // namespace tryster::softgpu

#undef TRYSTER_AVX2

#endif
