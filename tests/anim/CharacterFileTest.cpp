#include "AnimFixtures.h"

#include "anim/IndexFile.h"
#include "anim/TextAssetReader.h"
#include "io/ByteWriter.h"

#include <bit>
#include <cstring>

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

TEST(CharacterText, ReadsEveryFieldOfAFileWrittenFromTheDescription) {
    CharacterFileContents c;
    FormatStatus s = readCharacterText(kHandWritten, c);
    ASSERT_TRUE(s.ok) << s.message << " at line " << s.position;
    ASSERT_EQ(c.skeletons.size(), 1u);
    const Skeleton& sk = *c.skeletons[0];
    EXPECT_EQ(sk.name(), "adult skeleton");
    ASSERT_EQ(sk.size(), 2u);
    const Bone& pelvis = sk.bones()[1];
    EXPECT_EQ(pelvis.name, "PELVIS");
    EXPECT_EQ(pelvis.parent, 0);
    ASSERT_TRUE(pelvis.properties);
    ASSERT_EQ(pelvis.properties->size(), 1u);  // a repeated key replaces the value
    EXPECT_EQ(*pelvis.properties->find("colour"), "blue");
    EXPECT_EQ(pelvis.translation, (Vector3{1, 0, 0}));
    EXPECT_EQ(pelvis.rotation, (Quaternion{0, 0, 0.7071068f, 0.7071068f}));
    EXPECT_EQ(pelvis.canTranslate, 0);
    EXPECT_EQ(pelvis.canBlend, 0);
    EXPECT_EQ(pelvis.canWiggle, 1);
    EXPECT_FLOAT_EQ(pelvis.wigglePower, 0.5f);

    ASSERT_EQ(c.outfits.size(), 1u);
    EXPECT_EQ(c.outfits[0]->name, "body-outfit");
    EXPECT_EQ(c.outfits[0]->type, 7);
    ASSERT_EQ(c.outfits[0]->parts.size(), 1u);
    EXPECT_EQ(c.outfits[0]->parts[0].meshName, "xskin-body");
    EXPECT_EQ(c.outfits[0]->parts[0].censorFlags, 3);

    ASSERT_EQ(c.animations.size(), 1u);
    const Animation& a = *c.animations[0];
    EXPECT_EQ(a.dataName, "walk-data");
    EXPECT_FLOAT_EQ(a.duration, 1000);
    EXPECT_EQ(a.translationCount, 4);
    ASSERT_EQ(a.tracks.size(), 1u);
    const BoneTrack& t = a.tracks[0];
    EXPECT_EQ(t.frameCount, 4);
    EXPECT_EQ(t.hasTranslation, 1);
    EXPECT_EQ(t.hasRotation, 0);
    EXPECT_FALSE(t.properties);
    ASSERT_TRUE(t.timedProperties);
    ASSERT_EQ(t.timedProperties->size(), 2u);  // sorted by time
    EXPECT_EQ(t.timedProperties->entries()[0].timeMs, 0);
    EXPECT_EQ(*t.timedProperties->entries()[0].properties->find("flag"), "");
    EXPECT_EQ(*t.timedProperties->entries()[1].properties->find("sound"), "step.wav");
}

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

TEST(CharacterText, NamesAreWholeNonBlankLinesWithinTheirLimits) {
    std::string file = "x\nv\n1   \n\n   \n  name with spaces  \r\n0\n0\n0\n";
    CharacterFileContents c;
    ASSERT_TRUE(readCharacterText(file, c).ok);
    EXPECT_EQ(c.skeletons[0]->name(), "  name with spaces  ");

    auto withName = [](std::size_t length) { return "x\nv\n1\n" + std::string(length, 's') + "\n0\n0\n0\n"; };
    EXPECT_TRUE(readCharacterText(withName(1023), c).ok);
    EXPECT_FALSE(readCharacterText(withName(1024), c).ok);
    std::string longOutfit = "x\nv\n0\n1\n" + std::string(256, 'o') + "\n0\n0\n0\n0\n";
    EXPECT_FALSE(readCharacterText(longOutfit, c).ok);
    EXPECT_FALSE(readCharacterText("x\nv\n-1\n0\n0\n", c).ok);  // a count is never negative
}

TEST(CharacterText, NumbersReadLikeScanf) {
    struct Row {
        std::string_view text;
        bool ok;
        std::int32_t value;
    };
    for (const Row& r :
         {Row{"-2147483648", true, INT32_MIN}, Row{"2147483647", true, INT32_MAX},
          Row{"2147483648", false, 0}, Row{"99999999999", false, 0}, Row{"  +7\n", true, 7},
          Row{"12abc", true, 12}, Row{"+-1", false, 0}, Row{"-", false, 0}, Row{"x", false, 0}}) {
        TextAssetReader in(r.text);
        std::int32_t v = 0;
        EXPECT_EQ(in.integer(v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
    for (auto [text, value] : {std::pair<std::string_view, float>{"1000", 1000},
                               {"-0", -0.0f},
                               {"1.5", 1.5f},
                               {"+2e3", 2000},
                               {"12345678", 12345678},
                               {"0.1", 0.1f},
                               {"-7|", -7}}) {
        TextAssetReader in(text);
        float f = 0;
        ASSERT_TRUE(in.real(f)) << text;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(f), std::bit_cast<std::uint32_t>(value)) << text;
    }
    float f;
    EXPECT_FALSE(TextAssetReader("1e50").real(f));
    EXPECT_FALSE(TextAssetReader("|").real(f));
}

TEST(CharacterBinary, StringsOf255BytesOrMoreUseTheEscape) {
    CharacterFileContents c;
    c.skeletons.push_back(Skeleton::create(std::string(254, 'a')));
    c.skeletons.push_back(Skeleton::create(std::string(255, 'b')));
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(writeCharacterBinary(c, out).ok);
    // u32 count; then 254 as one length byte; then 255, u32 255.
    EXPECT_EQ(out[4], 254);
    const std::size_t second = 4 + 1 + 254 + 4;
    EXPECT_EQ(out[second], 255);
    EXPECT_EQ(out[second + 1], 255);
    EXPECT_EQ(out[second + 2], 0);
    EXPECT_EQ(out[second + 5], 'b');

    CharacterFileContents back;
    ASSERT_TRUE(readCharacterBinary(out, back).ok);
    EXPECT_EQ(back.skeletons[1]->name(), std::string(255, 'b'));

    c.skeletons.push_back(Skeleton::create(std::string(256, 'c')));
    EXPECT_FALSE(writeCharacterBinary(c, out).ok);
}

TEST(CharacterBinary, AShortReadKeepsTheRecordsBeforeIt) {
    io::ByteWriter w;
    w.u32le(2);
    for (const char* name : {"one", "two"}) {
        w.u8(static_cast<std::uint8_t>(std::strlen(name)));
        w.text(name);
        w.u32le(0);  // bones
    }
    w.u32le(1);
    w.u8(255);
    w.u32le(300);  // an outfit name longer than any name buffer
    w.text(std::string(300, 'n'));
    CharacterFileContents c;
    FormatStatus s = readCharacterBinary(w.bytes(), c);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.position, 4u + 2 * (1 + 3 + 4) + 4);
    ASSERT_EQ(c.skeletons.size(), 2u);
    EXPECT_TRUE(c.outfits.empty());

    auto cut = w.take();
    cut.resize(4 + 1 + 3 + 2);  // inside the first skeleton
    CharacterFileContents none;
    EXPECT_FALSE(readCharacterBinary(cut, none).ok);
    EXPECT_TRUE(none.skeletons.empty());
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

TEST(CharacterFileRoundTrip, WrittenSkeletonsKeepTheirParentLinks) {
    // A child read before its parent stays a top-level bone.
    auto s = test::makeSkeleton("s", {{"root", ""}, {"early", "late"}, {"late", "root"}, {"kid", "late"}});
    ASSERT_EQ(s->bones()[1].parent, kNoBone);
    CharacterFileContents c;
    c.skeletons.push_back(s);
    std::string out;
    ASSERT_TRUE(writeCharacterText(c, out).ok);
    CharacterFileContents back;
    ASSERT_TRUE(readCharacterText(out, back).ok);
    const auto& before = s->bones();
    const auto& after = back.skeletons[0]->bones();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].name, before[i].name);
        EXPECT_EQ(after[i].parent, before[i].parent);
        EXPECT_EQ(after[i].firstChild, before[i].firstChild);
        EXPECT_EQ(after[i].nextSibling, before[i].nextSibling);
    }
    EXPECT_EQ(back.skeletons[0]->root(), s->root());
}

TEST(CharacterFileRoundTrip, WritersRefuseWhatTheEncodingCannotHold) {
    CharacterFileContents c;
    auto s = Skeleton::create("s");
    Bone b;
    b.name = "root";  // an empty parent name has no text line
    s->addBone(b);
    c.skeletons.push_back(s);
    std::string out = "untouched";
    FormatStatus status = writeCharacterText(c, out);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(out, "untouched");
    EXPECT_NE(status.message.find("skeleton \"s\""), std::string::npos);
    std::vector<std::uint8_t> binary;
    EXPECT_TRUE(writeCharacterBinary(c, binary).ok);

    auto o = Outfit::create();
    o->name = "two\nlines";
    c.outfits.push_back(o);
    c.skeletons.clear();
    EXPECT_FALSE(writeCharacterText(c, out).ok);
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

TEST(SkinMeshFiles, TheLayoutOnlyHoldsIndicesItCanUse) {
    Ref<SkinMesh> m;
    ASSERT_TRUE(readSkinMeshText(kHandWrittenMesh, m).ok);
    m->bindings = {{5, 0, 3, 0, 1}, {1, -2, 4, 0, 5}, {0, 2, 100, 7, 1}};
    m->blends = {{40000, 2}, {100, 3}};
    m->prepare();
    const SkinLayout& l = m->layout();
    ASSERT_EQ(l.bindings.size(), 2u);  // bone 5 does not exist
    EXPECT_EQ(l.bindings[0].rigidFirst, 0u);
    EXPECT_EQ(l.bindings[0].rigidCount, 2u);
    EXPECT_EQ(l.bindings[0].blendedFirst, 3u);
    EXPECT_EQ(l.bindings[0].blendedCount, 1u);
    EXPECT_EQ(l.bindings[1].rigidFirst, 2u);
    EXPECT_EQ(l.bindings[1].rigidCount, 1u);
    ASSERT_EQ(l.blends.size(), 1u);  // the second names no rigid vertex, and has no blended one
    EXPECT_EQ(l.blends[0].rigid, 2u);
    EXPECT_EQ(l.blends[0].blended, 3u);
}

TEST(IndexFiles, RoundTripAndLimits) {
    IndexFileContents index;
    index.skeletons = {{"adult", "skeletons"}};
    index.animations = {{std::string(1023, 'a'), "anims"}, {"b", "anims"}};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(writeIndexFile(index, out).ok);
    IndexFileContents back;
    ASSERT_TRUE(readIndexFile(out, back).ok);
    EXPECT_EQ(back.skeletons[0].fileBaseName, "skeletons");
    EXPECT_EQ(back.animations.size(), 2u);

    index.animations[0].objectName += 'x';
    EXPECT_FALSE(writeIndexFile(index, out).ok);
    out.resize(out.size() - 1);
    IndexFileContents partial;
    EXPECT_FALSE(readIndexFile(out, partial).ok);
    EXPECT_EQ(partial.animations.size(), 1u);
}

}  // namespace
}  // namespace tryster::anim
