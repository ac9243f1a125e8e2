#include "AnimFixtures.h"

#include "anim/CharacterLibrary.h"
#include "anim/IndexFile.h"
#include "anim/PosedSkeleton.h"

#include <gtest/gtest.h>

namespace tryster::anim {
namespace {

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
    CharacterLibrary library{nullptr};
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
    EXPECT_FALSE(library.findMesh("head", kCharacterSearchPath));
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
