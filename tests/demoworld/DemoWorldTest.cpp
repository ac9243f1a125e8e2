// The demo game folder as the program reads it: written the same every
// time and within its budget, and every skeleton, outfit, mesh, texture,
// animation and sound readable by the program's own readers.

#include "DemoFolder.h"
#include "render/Scene.h"

#include "anim/AnimationPlayback.h"
#include "anim/CharacterLibrary.h"
#include "anim/PreviewCharacter.h"
#include "anim/WornOutfit.h"
#include "platform/FileFinder.h"
#include "platform/WaveFile.h"
#include "render/ImageDecoder.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace tryster {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> readTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            files[fs::relative(e.path(), root).generic_string()] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    return files;
}

// Every animation the preview asks for by name.
const std::vector<std::string>& previewAnimations() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {"a2o-heyyou1", "c2a-goodbye-refuse"};
        for (int i = 1; i <= 8; ++i) n.push_back("a2o-idle" + std::to_string(i));
        for (const char* s : {"a2o-idle-armsdown-fidget", "a2o-idle-armsdown-lookoff", "a2o-idle-armsdown-breathe",
                              "a2o-idle-transition-armsdown-handships", "a2o-idle-handships-shiftside",
                              "a2o-idle-handships-lookoff", "a2o-idle-handships-breathe",
                              "a2o-idle-transition-handships-armscrossed", "a2o-idle-armscrossed-scratchchin",
                              "a2o-idle-armscrossed-lookoff", "a2o-idle-armscrossed-breathe",
                              "a2o-idle-transition-armscrossed-armsdown"})
            n.push_back(s);
        return n;
    }();
    return names;
}

TEST(DemoWorldFolder, IsTheSameEveryRunAndWithinItsBudget) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(demoworld::writeDemoWorld(dir.file("again"), error)) << error;
    const auto first = readTree(test::demoFolder()), second = readTree(dir.file("again"));
    ASSERT_EQ(first.size(), second.size());
    std::uintmax_t total = 0;
    for (const auto& [path, bytes] : first) {
        ASSERT_TRUE(second.count(path)) << path;
        EXPECT_TRUE(second.at(path) == bytes) << path;
        total += bytes.size();
    }
    EXPECT_LT(total, 10u * 1024 * 1024);
    EXPECT_FALSE(fs::exists(dir.file("again.partial")));
}

TEST(DemoWorldFolder, LeavesAFolderThatHoldsFilesAsItWas) {
    test::TempDir dir;
    dir.write("mine/keep.txt", "mine");
    std::string error;
    EXPECT_FALSE(demoworld::writeDemoWorld(dir.file("mine"), error));
    EXPECT_NE(error.find("not an empty folder"), std::string::npos) << error;
    EXPECT_EQ(readTree(dir.file("mine")).size(), 1u);
    EXPECT_EQ(dir.read("mine/keep.txt"), "mine");
    // An empty folder is filled.
    fs::create_directory(dir.file("empty"));
    EXPECT_TRUE(demoworld::writeDemoWorld(dir.file("empty"), error)) << error;
    EXPECT_TRUE(fs::exists(dir.file("empty/GameData")));
}

TEST(DemoWorldFolder, UsesTheSearchListsFoldersInTheirLetterCase) {
    for (const char* folder : {"GameData/cmx", "GameData/cmx2", "GameData/Skins", "GameData/People1",
                               "GameData/Textures", "GameData/Animation", "UserData/Characters", "TemplateNPCs"})
        EXPECT_TRUE(fs::is_directory(fs::path(test::demoFolder()) / folder)) << folder;
}

class DemoLibrary : public ::testing::Test {
protected:
    DemoLibrary() : scene(64, 64) {
        render::Device3D::setCurrent(scene.device.get());
        library = std::make_unique<anim::CharacterLibrary>(scene.device.get());
        library->loadCharacterFiles(anim::kCharacterSearchPath);
        library->readIndexFiles(anim::kAnimationSearchPath);
    }
    ~DemoLibrary() override {
        library.reset();
        render::Device3D::setCurrent(nullptr);
        anim::CharacterLibrary::setPreferBinaryAssets(false);
    }

    test::InDemoFolder in;
    test::Scene scene;
    std::unique_ptr<anim::CharacterLibrary> library;
};

TEST_F(DemoLibrary, HasTwoHumanSkeletonsWithTheSameBones) {
    anim::Skeleton* adult = library->findSkeleton("adult");
    anim::Skeleton* child = library->findSkeleton("child");
    ASSERT_TRUE(adult && child);
    EXPECT_GE(adult->size(), 20u);
    ASSERT_EQ(adult->size(), child->size());
    for (std::size_t i = 0; i < adult->size(); ++i) EXPECT_EQ(adult->bones()[i].name, child->bones()[i].name);
    for (const char* bone : {"pelvis", "spine", "neck", "head", "l_upperarm", "r_hand", "l_thigh", "r_foot"})
        EXPECT_NE(adult->findBone(bone), anim::kNoBone) << bone;
    // The child is the smaller.
    EXPECT_LT(child->bones()[0].translation.y, adult->bones()[0].translation.y);
}

TEST_F(DemoLibrary, DressesEitherSkeletonInEveryOutfitFromTextOrBinaryMeshes) {
    for (bool binary : {false, true}) {
        anim::CharacterLibrary::setPreferBinaryAssets(binary);
        anim::CharacterLibrary fresh(scene.device.get());
        fresh.loadCharacterFiles(anim::kCharacterSearchPath);
        std::vector<std::string> names;
        for (const auto& e : fresh.outfits()) names.push_back(e.name);
        EXPECT_GE(names.size(), 23u);
        for (const char* skeleton : {"adult", "child"}) {
            auto character = anim::PreviewCharacter::make(fresh, skeleton, {}, {}, 0);
            ASSERT_TRUE(character && character->skeleton());
            for (const std::string& name : names) {
                anim::WornOutfit* worn = character->putOn(*fresh.findOutfit(name), "", 0, -1);
                ASSERT_TRUE(worn) << name;
                ASSERT_FALSE(worn->parts().empty()) << name;
                for (const auto& part : worn->parts()) EXPECT_TRUE(part.skin) << name << " on " << skeleton;
                EXPECT_TRUE(character->takeOff(worn, 0));
            }
        }
    }
}

TEST_F(DemoLibrary, PlaysEveryAnimationThePreviewAsksFor) {
    std::set<std::string> indexed;
    for (const auto& e : library->animations())
        if (!e.loaded) indexed.insert(e.name);
    EXPECT_GE(indexed.size(), 5u);  // behind the index: read on first use
    int rawFrames = 0;
    for (const std::string& name : previewAnimations()) {
        SCOPED_TRACE(name);
        anim::Animation* a = library->findAnimation(name);
        ASSERT_TRUE(a);
        ASSERT_TRUE(a->loadFrames());
        EXPECT_GT(a->duration, 0);
        EXPECT_EQ(a->tracks.size(), library->findSkeleton("adult")->size());
        for (const auto& t : a->tracks) {
            EXPECT_GT(t.frameCount, 1);
            EXPECT_LE(t.rotationOffset + t.frameCount, a->rotationCount);
        }
        if (!platform::FileFinder::instance().find(a->dataName, "cfp", a->searchPath)) ++rawFrames;
    }
    EXPECT_EQ(rawFrames, 1);
}

struct Heard {
    std::vector<std::string> sounds;
};

void hear(void* argument, const anim::AnimationPlayback&, anim::BoneIndex, const anim::BoneTrack&,
          const anim::PropertyList& properties, float) {
    if (const std::string* sound = properties.find("sound")) static_cast<Heard*>(argument)->sounds.push_back(*sound);
}

TEST_F(DemoLibrary, TheFidgetAsksForASoundOfTheFolder) {
    Heard heard;
    anim::setAnimationEventHook(hear, &heard);
    auto character = anim::PreviewCharacter::make(*library, "adult", {}, {}, 0);
    anim::Animation* fidget = library->findAnimation("a2o-idle-armsdown-fidget");
    ASSERT_TRUE(fidget);
    auto* playback = character->startPlayback(*fidget, 1, 1, 1, 0);
    playback->setLoopMode(anim::LoopMode::Hold);
    for (anim::TimeMs t = 0; !playback->reachedEnd() && t < 10000; t += 10)
        character->update(render::Matrix4::identity(), t);
    anim::setAnimationEventHook(nullptr, nullptr);
    ASSERT_EQ(heard.sounds.size(), 1u);
    auto bytes = platform::readWholeFile(heard.sounds[0]);
    ASSERT_TRUE(bytes) << heard.sounds[0];
    platform::WaveSound sound;
    ASSERT_EQ(platform::parseWave(*bytes, sound), platform::WaveError::None);
    EXPECT_GT(sound.durationMs(), 50u);
    EXPECT_LT(sound.durationMs(), 500u);  // played to its end while the preview waits
}

TEST_F(DemoLibrary, EveryTextureDecodesAndEveryMeshFindsItsOwn) {
    std::set<int> depths;
    for (const auto& f : platform::FileFinder::instance().enumerateType("BMP", anim::kCharacterSearchPath)) {
        auto bytes = platform::readWholeFile(f.path);
        ASSERT_TRUE(bytes);
        render::DecodedImage image;
        EXPECT_TRUE(render::decodeBmp(*bytes, image)) << f.path;
        depths.insert((*bytes)[28]);
    }
    EXPECT_EQ(depths, (std::set<int>{8, 24}));
    for (const auto& e : library->outfits())
        for (const auto& part : e.object->parts) {
            auto mesh = library->findMesh(part.meshName, e.searchPath);
            ASSERT_TRUE(mesh) << part.meshName;
            EXPECT_TRUE(platform::FileFinder::instance().find(mesh->textureName, "BMP",
                                                              "GameData\\Textures;GameData\\Textures2;GameData\\Skins;"
                                                              "GameData\\Animations;ExpansionPack3\\Skins"))
                << mesh->textureName;
        }
}

// The skin file list of a save: each body and head outfit has a character
// file in the skin folder whose "xskin" lines name meshes there, whose
// second lines name textures there.
TEST_F(DemoLibrary, TheSkinFolderListsEachOutfitsFiles) {
    const std::string skins = "GameData\\Skins\\";
    int outfits = 0;
    for (const auto& e : library->outfits()) {
        if (e.name[0] != 'b' && e.name[0] != 'c') continue;
        ++outfits;
        auto cmx = platform::readWholeFile(skins + e.name + ".cmx");
        ASSERT_TRUE(cmx) << e.name;
        std::istringstream lines(std::string(cmx->begin(), cmx->end()));
        int meshes = 0;
        for (std::string line; std::getline(lines, line);) {
            line = platform::toLower(line);
            if (line.find("xskin") == std::string::npos) continue;
            ++meshes;
            auto skn = platform::readWholeFile(skins + line + ".skn");
            ASSERT_TRUE(skn) << line;
            std::istringstream mesh(std::string(skn->begin(), skn->end()));
            std::string name, texture;
            std::getline(mesh, name);
            std::getline(mesh, texture);
            EXPECT_TRUE(platform::fileSystem().exists(skins + texture + ".bmp")) << texture;
        }
        EXPECT_EQ(meshes, 1) << e.name;
    }
    EXPECT_EQ(outfits, 15);
}

}  // namespace
}  // namespace tryster
