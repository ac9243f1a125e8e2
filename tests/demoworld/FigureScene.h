#pragma once
// The demo figure drawn as the preview draws it: a software device of the
// preview's size, the preview's lights and background, its camera placement
// for a facing and zoom, and the skeleton placed at (0, -1.75, 0).
//
// Textures are found along the preview's texture path from the current
// directory (a game folder).

#include "render/Scene.h"

#include "anim/CharacterLibrary.h"
#include "anim/PreviewCharacter.h"

#include <cmath>
#include <numbers>
#include <string>

namespace tryster::test {

inline constexpr int kPreviewWidth = 332, kPreviewHeight = 430;
inline constexpr const char* kPreviewTexturePath =
    "GameData\\Textures;GameData\\Textures2;GameData\\Skins;GameData\\Animations;ExpansionPack3\\Skins";

// The preview's camera for a facing (quarter turns) and zoom level (0..4).
inline void placePreviewCamera(Scene& scene, float facing, int zoom) {
    constexpr float kScales[] = {128, 192, 256, 384, 512};
    const int w = scene.viewport->width(), h = scene.viewport->height();
    const int wide = static_cast<int>(static_cast<float>(w) * 1.5f);
    const float unitsPerPixel = std::sqrt(2.0f) * 3 / kScales[zoom];
    const float viewWidth = static_cast<float>(wide) * unitsPerPixel;
    constexpr float kDistance = 334.5f, kBack = 347.0f;
    const float yaw = std::numbers::pi_v<float> * (45 - 90 * facing) / 180;
    const render::Matrix4 m =
        render::Matrix4::rotationX(-std::numbers::pi_v<float> / 6) * render::Matrix4::rotationY(yaw);
    auto turn = [&](render::Vector3 v) { return m.transformPoint(v); };
    const render::Vector3 p = turn({0, 0, kDistance});
    const render::Vector3 right = turn({1, 0, 0}), up = turn({0, 1, 0});
    const render::Vector3 position = p + right * (unitsPerPixel * static_cast<float>(250 - wide / 2)) +
                                     up * (unitsPerPixel * static_cast<float>(320 - h / 2));
    scene.camera->setPosition(position);
    scene.camera->setDirection(p * -1.0f);
    scene.camera->setFrontClip(1.0f);
    scene.camera->setBackClip(kBack);
    scene.viewport->setProjection(render::parallelProjection(viewWidth, scene.viewport->aspect(), kBack));
}

class FigureScene {
public:
    FigureScene() {
        scene = std::make_unique<Scene>(kPreviewWidth, kPreviewHeight, kPreviewTexturePath);
        render::Device3D::setCurrent(scene->device.get());
        library = std::make_unique<anim::CharacterLibrary>(scene->device.get());
    }
    ~FigureScene() {
        character.reset();
        library.reset();
        render::Device3D::setCurrent(nullptr);
        scene.reset();
    }

    // The frame at clock time `t` for a facing and zoom.
    void draw(anim::TimeMs t, float facing = 0, int zoom = 2) {
        placePreviewCamera(*scene, facing, zoom);
        character->update(render::Matrix4::translation({0, -1.75f, 0}), t);
        ASSERT_EQ(scene->viewport->clear(), render::render_error::kOk);
        ASSERT_EQ(scene->viewport->beginScene(), render::render_error::kOk);
        EXPECT_EQ(character->draw(*scene->viewport, t), render::render_error::kOk);
        ASSERT_EQ(scene->viewport->endScene(), render::render_error::kOk);
    }

    std::unique_ptr<Scene> scene;
    std::unique_ptr<anim::CharacterLibrary> library;
    std::unique_ptr<anim::PreviewCharacter> character;
};

}  // namespace tryster::test
