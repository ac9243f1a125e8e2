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

    // In the text form where the file's type says so ("CMX", "SKN"), else in the binary one.
    template <typename Asset, typename TextWriter, typename BinaryWriter>
    void writeAsset(const std::string& path, const Asset& asset, std::string_view textType, TextWriter writeText,
                    BinaryWriter writeBinary) {
        std::string out;
        std::vector<std::uint8_t> binary;
        const bool isText = platform::fileType(path) == textType;
        ASSERT_TRUE(isText ? writeText(asset, out).ok : writeBinary(asset, binary).ok);
        dir.write(path, isText ? out : text(binary));
    }
    void writeCharacters(const std::string& path, const anim::CharacterFileContents& c) {
        writeAsset(path, c, "CMX", anim::writeCharacterText, anim::writeCharacterBinary);
    }
    void writeMesh(const std::string& path, const anim::SkinMesh& mesh) {
        writeAsset(path, mesh, "SKN", anim::writeSkinMeshText, anim::writeSkinMeshBinary);
    }

    TempDir dir;
    std::string saved_;
};

}  // namespace tryster::test
