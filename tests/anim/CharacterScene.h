#pragma once
// A character library on a headless software device that is the current
// device, and records to dress a character with, built in code.

#include "AnimFixtures.h"
#include "render/Scene.h"

#include "anim/CharacterLibrary.h"
#include "preview/PreviewCharacter.h"
#include "preview/PreviewSkin.h"

namespace tryster::test {

// A square of four rigid vertices around `centre` in the xy plane, facing
// −z (towards the test camera), all bound to `bone`.
inline anim::Ref<anim::SkinMesh> squareMesh(std::string name, std::string bone, anim::Vector3 centre,
                                            float half, std::string texture = "no-such-texture") {
    auto m = anim::SkinMesh::create();
    m->name = std::move(name);
    m->textureName = std::move(texture);
    m->boneNames = {std::move(bone)};
    for (auto [dx, dy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
        m->vertices.push_back(
            {{centre.x + half * static_cast<float>(dx), centre.y + half * static_cast<float>(dy), centre.z},
             {0, 0, -1}});
        m->texCoords.push_back({0, 0});
    }
    m->faces = {{0, 2, 1}, {0, 3, 2}};
    m->bindings = {{0, 0, 4, 0, 0}};
    m->prepare();
    return m;
}

class CharacterScene : public ::testing::Test {
protected:
    CharacterScene() : scene(64, 64) {
        render::Device3D::setCurrent(scene.device.get());
    }
    ~CharacterScene() override { render::Device3D::setCurrent(nullptr); }

    std::unique_ptr<preview::PreviewCharacter> character(anim::Ref<anim::Skeleton> skeleton) {
        anim::CharacterFileContents c;
        std::string name = skeleton->name();
        c.skeletons.push_back(std::move(skeleton));
        library.registerContents(c, "", "test", "");
        return preview::PreviewCharacter::make(library, name, {}, {}, 0);
    }

    Scene scene;
    anim::CharacterLibrary library;
};

}  // namespace tryster::test
