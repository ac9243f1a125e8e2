#include "AnimFixtures.h"

#include "anim/CharacterLibrary.h"
#include "anim/FrameFile.h"
#include "anim/IndexFile.h"
#include "anim/PosedSkeleton.h"
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

CharacterFileContents withSkeleton(std::string name, int bones) {
    CharacterFileContents c;
    std::vector<test::BoneDef> defs;
    for (int i = 0; i < bones; ++i) defs.push_back({"bone" + std::to_string(i), i ? "bone0" : ""});
    c.skeletons.push_back(test::makeSkeleton(std::move(name), defs));
    return c;
}

Ref<Animation> animationNamed(std::string name, std::string data = "frames") {
    auto a = Animation::create();
    a->name = std::move(name);
    a->dataName = std::move(data);
    a->duration = 1000;
    a->translationCount = 2;
    a->tracks = {test::makeTrack("bone0", 2, 0, -1)};
    return a;
}

class Library : public test::GameFolder {
protected:
    CharacterLibrary library;
};

// The game has hundreds of animations: the table of names grows past its
// first slots many times, and finds every name it was given.
TEST(NameTable, GrowsAndFindsEveryName) {
    struct Entry {
        std::string name;
    };
    NameTable<Entry> table(4);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(table.tryEmplace("a2o-" + std::to_string(i)).second);
    EXPECT_FALSE(table.tryEmplace("a2o-7").second);
    for (int i = 0; i < 1000; ++i) EXPECT_NE(table.find("a2o-" + std::to_string(i)), nullptr) << i;
    EXPECT_EQ(table.size(), 1000u);
}

TEST_F(Library, AFileThatStopsEarlyKeepsWhatCameBefore) {
    CharacterFileContents c = withSkeleton("first", 1);
    c.skeletons.push_back(withSkeleton("second", 1).skeletons[0]);
    std::string text;
    ASSERT_TRUE(writeCharacterText(c, text).ok);
    text.resize(text.find("second") + 8);
    dir.write("GameData/cmx/cut.cmx", text);
    FormatStatus status;
    EXPECT_FALSE(library.loadFile("GameData\\cmx", "cut.cmx", kCharacterSearchPath, &status));
    EXPECT_FALSE(status.ok);
    EXPECT_TRUE(library.findSkeleton("first"));
    EXPECT_FALSE(library.findSkeleton("second"));
    EXPECT_FALSE(library.loadFile("GameData\\cmx", "missing.cmx", kCharacterSearchPath));
    ASSERT_EQ(library.faults().size(), 1u) << "the cut file is told; a missing one is passed over";
    EXPECT_TRUE(library.faults()[0].file.ends_with("cut.cmx")) << library.faults()[0].file;
    EXPECT_EQ(library.faults()[0].status.message, status.message);
}

TEST_F(Library, IndexEntriesDeferTheirFileAndAreAskedOnce) {
    writeCharacters("GameData/cmx/people.cmx", withSkeleton("adult", 1));
    CharacterFileContents anims;
    anims.animations.push_back(animationNamed("wave"));
    writeCharacters("GameData/Animation/anims.bcf", anims);
    IndexFileContents index;
    index.skeletons = {{"adult", "anims"}};
    index.animations = {{"wave", "anims"}, {"ghost", "anims"}};
    std::vector<std::uint8_t> ndx;
    ASSERT_TRUE(writeIndexFile(index, ndx).ok);
    dir.write("GameData/Animation/all.ndx", test::text(ndx));

    library.loadCharacterFiles(kCharacterSearchPath);
    library.readIndexFiles(kAnimationSearchPath);
    EXPECT_EQ(library.skeletons().find("adult")->fileName,
              "people.cmx");  // defined before: the index is ignored
    const auto& wave = *library.animations().find("wave");
    EXPECT_FALSE(wave.loaded);
    EXPECT_EQ(wave.fileName, "anims.bcf");
    EXPECT_EQ(wave.directory, "GameData\\Animation");

    Animation* a = library.findAnimation("wave");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->searchPath.view(), kAnimationSearchPath);
    EXPECT_TRUE(wave.loaded);

    EXPECT_FALSE(library.findAnimation("ghost"));  // its file lacks it
    EXPECT_TRUE(library.animations().find("ghost")->loaded);
    anims.animations.push_back(animationNamed("ghost"));
    writeCharacters("GameData/Animation/anims.bcf", anims);
    EXPECT_FALSE(library.findAnimation("ghost"));  // not retried
}

TEST_F(Library, TheSweepUnloadsWhatRestedAMinuteAndItIsReadAgain) {
    CharacterFileContents c = withSkeleton("adult", 1);
    c.animations.push_back(animationNamed("idle"));
    c.animations.push_back(animationNamed("busy"));
    auto shirt = Outfit::create();
    shirt->name = "shirt";
    c.outfits.push_back(shirt);
    writeCharacters("GameData/cmx/all.cmx", c);
    library.loadCharacterFiles(kCharacterSearchPath);

    PosedSkeleton pose(*library.findSkeleton("adult"), nullptr);
    Animation* idle = library.findAnimation("idle");
    Animation* busy = library.findAnimation("busy");
    pose.stopPlayback(pose.startPlayback(*idle, 1, 1, 1, 90000), 100000);
    pose.startPlayback(*busy, 1, 1, 1, 90000);
    WornOutfit* worn = pose.putOn(*library.findOutfit("shirt"), {}, 0, -1);
    EXPECT_EQ(idle->releaseTime, 100000);

    for (TimeMs t : {100000, 115001, 130002, 145003, 160000}) library.sweep(t);
    EXPECT_TRUE(library.animations().find("idle")->loaded);
    library.sweep(175004);
    EXPECT_FALSE(library.animations().find("idle")->loaded);
    EXPECT_FALSE(library.animations().find("idle")->object);
    EXPECT_TRUE(library.animations().find("busy")->loaded);  // still playing
    EXPECT_TRUE(library.outfits().find("shirt")->loaded);    // still worn

    Animation* again = library.findAnimation("idle");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->releaseTime, 0);
    EXPECT_TRUE(library.animations().find("idle")->loaded);
    EXPECT_EQ(again->refCount(), 1);  // read again, it can go again

    pose.takeOff(worn, 180000);
    library.sweep(200000);
    EXPECT_TRUE(library.outfits().find("shirt")->loaded);
    library.sweep(240001);
    EXPECT_FALSE(library.outfits().find("shirt")->loaded);
    EXPECT_TRUE(library.findOutfit("shirt"));
}

TEST_F(Library, MeshesFollowTheBinaryPreference) {
    auto mesh = SkinMesh::create();
    mesh->name = "body";
    mesh->textureName = "from-text";
    writeMesh("GameData/Skins/body.skn", *mesh);
    mesh->textureName = "from-binary";
    writeMesh("GameData/Skins/body.bmf", *mesh);
    ASSERT_TRUE(library.findMesh("body", kCharacterSearchPath));
    EXPECT_EQ(library.findMesh("body", kCharacterSearchPath)->textureName, "from-text");
    CharacterLibrary::setPreferBinaryAssets(true);
    EXPECT_EQ(library.findMesh("body", kCharacterSearchPath)->textureName, "from-binary");
    dir.write("GameData/Skins/body.bmf", "\x04");
    EXPECT_FALSE(library.findMesh("body", kCharacterSearchPath));  // a damaged file gives no mesh
    ASSERT_EQ(library.faults().size(), 1u) << "and is told";
    EXPECT_TRUE(library.faults()[0].file.ends_with("body.bmf")) << library.faults()[0].file;
    CharacterLibrary::setPreferBinaryAssets(false);
}

TEST_F(Library, FramesComeFromCfpElseBin) {
    Ref<Animation> a = animationNamed("walk", "walk");
    a->searchPath = kAnimationSearchPath;
    FramePools cfp{{{1, 1, 1}, {2, 2, 2}}, {}}, bin{{{7, 7, 7}, {8, 8, 8}}, {}};
    dir.write("GameData/Animation/walk.bin", test::text(writeBinFrames(bin)));
    dir.write("ExpansionPack/walk.cfp", test::text(encodeCfp(cfp)));
    ASSERT_TRUE(a->loadFrames());
    EXPECT_EQ(a->translations()[1], (Vector3{2, 2, 2}));

    Ref<Animation> b = animationNamed("walk", "walk");
    b->searchPath = "GameData\\Animation";
    ASSERT_TRUE(b->loadFrames());
    EXPECT_EQ(b->translations()[1], (Vector3{8, 8, 8}));

    Ref<Animation> turn = animationNamed("turn", "turn");  // rotations only
    turn->searchPath = "GameData\\Animation";
    turn->translationCount = 0;
    turn->rotationCount = 1;
    dir.write("GameData/Animation/turn.bin", test::text(writeBinFrames({{}, {{0, 0, 0, 1}}})));
    EXPECT_TRUE(turn->loadFrames());

    Ref<Animation> c = animationNamed("walk", "walk");
    c->searchPath = "GameData\\Animation";
    c->translationCount = 3;  // longer than the file
    EXPECT_FALSE(c->loadFrames());
    EXPECT_TRUE(c->translations().empty());
    c->searchPath = "Nowhere";
    EXPECT_FALSE(c->loadFrames());
}

}  // namespace
}  // namespace tryster::anim
