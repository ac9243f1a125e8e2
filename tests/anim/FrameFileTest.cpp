#include "anim/FrameFile.h"

#include "io/ByteWriter.h"

#include <bit>
#include <cmath>
#include <utility>

#include <gtest/gtest.h>

namespace tryster::anim {
namespace {

// Bits worked out once, apart from the decoder: the float nearest 1/252,
// the formula in double precision, the result stored as float. An exact
// 1/252 would make delta(126) exactly 0; single precision would change the
// low bits.
TEST(CfpDecoding, DeltaTableBits) {
    const std::pair<int, std::uint32_t> expected[] = {{0, 0xBDCCCCCD},   {1, 0xBDC6601A},   {63, 0xBBCCCCCA},
                                                      {125, 0xAFDA1C1A}, {126, 0x0DB4600D}, {200, 0x3C42EC7F},
                                                      {252, 0x3DCCCCD3}, {253, 0}};
    for (auto [b, bits] : expected)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(cfpDelta(static_cast<std::uint8_t>(b))), bits) << b;
}

// A kilobyte of repeat entries stands for over twenty million values; the
// pools a file is asked for are bounded by a limit of their own.
TEST(FrameFiles, PoolsPastTheLimitAreRefused) {
    io::ByteWriter w;
    for (int i = 0; i < 341; ++i) {
        w.u8(254);
        w.u16le(0xFFFF);
    }
    FramePools pools;
    EXPECT_FALSE(decodeCfp(w.bytes(), kMaxPoolEntries + 1, 0, pools));
    EXPECT_FALSE(decodeCfp(w.bytes(), 0, kMaxPoolEntries + 1, pools));
    ASSERT_TRUE(decodeCfp(w.bytes(), kMaxPoolEntries, 0, pools));
    EXPECT_EQ(pools.translations.size(), kMaxPoolEntries);

    const std::vector<std::uint8_t> raw((kMaxPoolEntries + 1) * 16, 0);
    EXPECT_FALSE(readBinFrames(raw, kMaxPoolEntries + 1, 0, pools));
    EXPECT_FALSE(readBinFrames(raw, 0, kMaxPoolEntries + 1, pools));
    EXPECT_TRUE(readBinFrames(raw, kMaxPoolEntries, 0, pools));
}

TEST(CfpDecoding, AFloatThenARepeatFillsThePoolsXValues) {
    // N = 4 translations: 255 and 1.5, then 254 and the u16 2: four x
    // values of 1.5. The next byte belongs to the y values.
    io::ByteWriter w;
    w.u8(255);
    w.f32le(1.5f);
    w.u8(254);
    w.u16le(2);
    w.u8(252);  // y0 = 1.5 + delta(252): the running value carries over
    w.u8(254);
    w.u16le(2);  // y1..y3 repeat ...
    w.u8(254);
    w.u16le(3);  // ... and z0..z3 too
    FramePools pools;
    ASSERT_TRUE(decodeCfp(w.bytes(), 4, 0, pools));
    for (const Vector3& t : pools.translations) {
        EXPECT_EQ(t.x, 1.5f);
        EXPECT_EQ(t.y, 1.5f + cfpDelta(252));
        EXPECT_EQ(t.z, t.y);
    }
}

FramePools samplePools() {
    FramePools p;
    for (int i = 0; i < 50; ++i) {
        float f = static_cast<float>(i);
        p.translations.push_back({std::sin(f * 0.1f), 1.0f, i < 25 ? 0.0f : -0.0f});
        p.rotations.push_back({0, std::sin(f * 0.05f), 0, std::cos(f * 0.05f)});
    }
    p.translations[7].x = NAN;
    p.translations[8].x = INFINITY;
    return p;
}

// Every value of the pools as bits, so that NaN, infinity and -0 compare.
std::vector<std::uint32_t> bitsOf(const FramePools& p) {
    std::vector<std::uint32_t> out;
    for (const Vector3& t : p.translations)
        for (float f : {t.x, t.y, t.z}) out.push_back(std::bit_cast<std::uint32_t>(f));
    for (const Quaternion& q : p.rotations)
        for (float f : {q.x, q.y, q.z, q.w}) out.push_back(std::bit_cast<std::uint32_t>(f));
    return out;
}

TEST(CfpEncoding, ExactEncodingDecodesToTheSameBits) {
    FramePools p = samplePools();
    std::vector<std::uint8_t> bytes = encodeCfp(p);
    EXPECT_EQ(encodeCfp(p), bytes);
    FramePools back;
    ASSERT_TRUE(decodeCfp(bytes, p.translations.size(), p.rotations.size(), back));
    EXPECT_EQ(bitsOf(back), bitsOf(p));
}

}  // namespace
}  // namespace tryster::anim
