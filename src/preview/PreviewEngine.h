#pragma once
// The engine behind a preview: its devices, viewport, camera and lights,
// and the character it draws. The window never needs these; the command
// line, the guide's picture tool, the benchmarks and the tests look at
// what was drawn through them.

#include "preview/Preview.h"
#include "preview/PreviewCharacter.h"
#include "render/AnimDevice.h"
#include "render/ChangedBlocks.h"
#include "render/Device3D.h"
#include "render/Light.h"
#include "render/Viewport3D.h"

#include <memory>

namespace tryster::preview {

struct Preview::Engine {
    std::unique_ptr<render::AnimDevice> animDevice;
    std::unique_ptr<render::Device3D> device;
    render::Viewport3D* viewport = nullptr;  // the device's
    render::Ref<render::Camera> camera;
    render::Ref<render::DirectionalLight> light1, light2;
    std::unique_ptr<PreviewCharacter> character;
    // What the last frame drew, to find what the next one changes.
    render::ChangedBlocks changed;
    std::uint32_t changedResources = 0;  // the textures' generation it was drawn with
    platform::RedrawBlocks redrawBlocks;
};

// Null before set-up and after teardown.
inline const render::AnimDevice* animDevice(const Preview& p) { return p.engine().animDevice.get(); }
inline const render::Viewport3D* viewport(const Preview& p) { return p.engine().viewport; }
inline const PreviewCharacter* previewCharacter(const Preview& p) { return p.engine().character.get(); }

}  // namespace tryster::preview
