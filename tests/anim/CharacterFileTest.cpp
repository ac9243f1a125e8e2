#include "AnimFixtures.h"

#include "anim/FrameFile.h"
#include "anim/TextAssetReader.h"
#include "io/ByteWriter.h"

#include <bit>
#include <cmath>
#include <utility>

#include <gtest/gtest.h>

namespace tryster::anim {
namespace {

using test::bytes;
using test::text;

// Written by hand from the format description: one skeleton, one outfit,
// one animation.
constexpr std::string_view kHandWritten = R"(// made by hand
version 0
1
adult skeleton
2
ROOT
NULL
0
| 0 1 2 |
| 0 0 0 1 |
1 1 1 0
0
PELVIS
ROOT
1
2
colour
red
colour
blue
| 1 0 0 |
0 0 0.7071068 0.7071068
0 1 0 1
0.5
1
Body-Outfit
7
0
1
PELVIS
xskin-body
3
0
1
walk
walk-data
1000
2.5
1
4
4
1
PELVIS
4
1000
1
0
0
0
0
1
2
500
1
sound
step.wav
0
1
flag

)";

// A file of two skeletons whose second one is broken at `bad`.
std::string twoSkeletons(std::string_view secondRotation) {
    std::string s = "x\nv\n2\nfirst\n1\nA\nNULL\n0\n| 0 0 0 |\n| 0 0 0 1 |\n1 1 1 0 0\n";
    s += "second\n1\nB\nNULL\n0\n| 0 0 0 |\n";
    s += secondRotation;
    s += "\n1 1 1 0 0\n0\n0\n";
    return s;
}

TEST(CharacterText, QuaternionBarsAreOptionalButMustClose) {
    for (std::string_view q : {"| 0 0 0 1 |", "0 0 0 1", "|0 0 0 1|"}) {
        CharacterFileContents c;
        EXPECT_TRUE(readCharacterText(twoSkeletons(q), c).ok) << q;
        ASSERT_EQ(c.skeletons.size(), 2u);
        EXPECT_EQ(c.skeletons[1]->bones()[0].rotation, (Quaternion{0, 0, 0, 1}));
    }
    CharacterFileContents c;
    FormatStatus s = readCharacterText(twoSkeletons("| 0 0 0 1"), c);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, "bad skeleton 2 of 2");
    ASSERT_EQ(c.skeletons.size(), 1u);  // what was read before stays
    EXPECT_EQ(c.skeletons[0]->name(), "first");
    EXPECT_TRUE(c.outfits.empty());
}

TEST(CharacterFileRoundTrip, TextToBinaryAndBackChangesNothing) {
    CharacterFileContents c;
    ASSERT_TRUE(readCharacterText(kHandWritten, c).ok);
    std::vector<std::uint8_t> binary;
    ASSERT_TRUE(writeCharacterBinary(c, binary).ok);
    CharacterFileContents b;
    ASSERT_TRUE(readCharacterBinary(binary, b).ok);
    std::vector<std::uint8_t> again;
    ASSERT_TRUE(writeCharacterBinary(b, again).ok);
    EXPECT_EQ(binary, again);

    std::string first, second;
    ASSERT_TRUE(writeCharacterText(c, first).ok);
    ASSERT_TRUE(writeCharacterText(b, second).ok);
    EXPECT_EQ(first, second);
    CharacterFileContents t;
    ASSERT_TRUE(readCharacterText(first, t).ok);
    ASSERT_TRUE(writeCharacterText(t, second).ok);
    EXPECT_EQ(first, second);
}

// Written by hand: two bones (one named twice), one face past the
// vertices, a blend entry as (vertex, weight).
constexpr std::string_view kHandWrittenMesh = R"(xskin-body-BODY
body-texture
3
PELVIS
SPINE
PELVIS
2
0 1 2
0 1 9
2
2 0 2 0 1
1 2 1 0 0
3
0 0
1 0
0 1
1
1 16384
4
0 0 0 0 0 1
1 0 0 0 0 1
0 1 0 0 0 1
2 2 2 0 1 0
)";

TEST(SkinMeshFiles, TextAndBinaryHoldTheSameMeshWithBlendFieldsSwapped) {
    Ref<SkinMesh> m;
    FormatStatus s = readSkinMeshText(kHandWrittenMesh, m);
    ASSERT_TRUE(s.ok) << s.message;
    EXPECT_EQ(m->boneNames, (std::vector<std::string>{"PELVIS", "SPINE"}));
    // The binding of the third name now points at its first occurrence.
    EXPECT_EQ(m->bindings[0].bone, 0);
    ASSERT_EQ(m->blends.size(), 1u);
    EXPECT_EQ(m->blends[0].vertex, 1);
    EXPECT_EQ(m->blends[0].weight, 16384);
    EXPECT_EQ(m->faces.size(), 2u);             // kept as read ...
    EXPECT_EQ(m->layout().indices.size(), 3u);  // ... but the bad face is never used
    EXPECT_EQ(m->layout().rigidCount, 3u);

    std::vector<std::uint8_t> binary;
    ASSERT_TRUE(writeSkinMeshBinary(*m, binary).ok);
    // The blend section: u32 count, u32 weight, u32 vertex, then the vertex count.
    const std::size_t blends = binary.size() - (4 + 4 * 24) - 12;
    EXPECT_EQ(binary[blends], 1);
    EXPECT_EQ(binary[blends + 4] | binary[blends + 5] << 8, 16384);
    EXPECT_EQ(binary[blends + 8], 1);

    Ref<SkinMesh> b;
    ASSERT_TRUE(readSkinMeshBinary(binary, b).ok);
    std::string first, second;
    ASSERT_TRUE(writeSkinMeshText(*m, first).ok);
    ASSERT_TRUE(writeSkinMeshText(*b, second).ok);
    EXPECT_EQ(first, second);

    binary.pop_back();  // a mesh is whole or not at all
    Ref<SkinMesh> cut;
    EXPECT_FALSE(readSkinMeshBinary(binary, cut).ok);
    EXPECT_FALSE(cut);
}

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
