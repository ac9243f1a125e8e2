#include "AnimFixtures.h"

#include "anim/TextAssetReader.h"

#include <bit>

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

}  // namespace
}  // namespace tryster::anim
