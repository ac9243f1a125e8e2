#pragma once
// Helpers of the animation tests: records built in code, and a game folder
// that a test runs in (the current directory, as the program runs in the
// game's install folder), with the project's own writers to fill it.

#include "anim/CharacterFile.h"
#include "anim/FrameFile.h"
#include "anim/SkinMeshFile.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tryster::test {

struct BoneDef {
    std::string name;
    std::string parent;
    anim::Vector3 translation{};
    anim::Quaternion rotation{};
};

inline anim::Ref<anim::Skeleton> makeSkeleton(std::string name, const std::vector<BoneDef>& bones) {
    auto s = anim::Skeleton::create(std::move(name));
    for (const BoneDef& def : bones) {
        anim::Bone b;
        b.name = def.name;
        b.parentName = def.parent.empty() ? "NULL" : def.parent;
        b.translation = def.translation;
        b.rotation = def.rotation;
        s->addBone(std::move(b));
    }
    return s;
}

inline anim::BoneTrack makeTrack(std::string bone, int frames, int translationOffset, int rotationOffset) {
    anim::BoneTrack t;
    t.boneName = std::move(bone);
    t.frameCount = frames;
    t.hasTranslation = translationOffset >= 0;
    t.hasRotation = rotationOffset >= 0;
    t.translationOffset = std::max(translationOffset, 0);
    t.rotationOffset = std::max(rotationOffset, 0);
    return t;
}

// An outfit of one part per mesh, each on the mesh's first bone.
inline anim::Ref<anim::Outfit> outfitOf(std::string name, std::vector<anim::Ref<anim::SkinMesh>> meshes,
                                        std::vector<int> censorFlags = {}) {
    auto o = anim::Outfit::create();
    o->name = std::move(name);
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        anim::OutfitPart p;
        p.boneName = meshes[i]->boneNames.front();
        p.meshName = meshes[i]->name;
        p.censorFlags = i < censorFlags.size() ? censorFlags[i] : 1;
        p.mesh = meshes[i];
        o->parts.push_back(std::move(p));
    }
    return o;
}

inline std::string text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}
inline std::vector<std::uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

class GameFolder : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = platform::fileSystem().currentDirectory();
        ASSERT_TRUE(platform::fileSystem().setCurrentDirectory(dir.str()));
    }
    void TearDown() override { (void)platform::fileSystem().setCurrentDirectory(saved_); }

    void writeCharacters(const std::string& path, const anim::CharacterFileContents& c) {
        if (platform::fileType(path) == "CMX") {
            std::string out;
            ASSERT_TRUE(anim::writeCharacterText(c, out).ok);
            dir.write(path, out);
        } else {
            std::vector<std::uint8_t> out;
            ASSERT_TRUE(anim::writeCharacterBinary(c, out).ok);
            dir.write(path, text(out));
        }
    }
    void writeMesh(const std::string& path, const anim::SkinMesh& mesh) {
        if (platform::fileType(path) == "SKN") {
            std::string out;
            ASSERT_TRUE(anim::writeSkinMeshText(mesh, out).ok);
            dir.write(path, out);
        } else {
            std::vector<std::uint8_t> out;
            ASSERT_TRUE(anim::writeSkinMeshBinary(mesh, out).ok);
            dir.write(path, text(out));
        }
    }

    TempDir dir;
    std::string saved_;
};

}  // namespace tryster::test
