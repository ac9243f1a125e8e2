// The engine's side of the benchmark: the preview's set-up (background,
// render states, two lights, ambient) and its frame (clear, begin, draw the
// group, end, present).

#include "RasterBench.h"

#include "platform/FileFinder.h"
#include "platform/GraphicsDevice.h"
#include "platform/SurfacePixels.h"
#include "render/AnimDevice.h"
#include "render/Device3D.h"
#include "render/RenderDIPMesh.h"
#include "render/RenderGroup.h"
#include "render/Viewport3D.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace tryster::bench {
namespace {

// Presenting hands the frame to the window; the benchmark shows nothing.
class NullWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return {0, 0, 0, 0}; }
    void showFrame(const platform::LockedSurface&, const platform::ScreenRect&) override {}
};

constexpr int kWarmUpFrames = 5;

}  // namespace

bool runEngine(const Setup& s, bool indexed, bool cull, Clear clear, const std::string& config,
               Picture& picture) {
    using namespace render;
    Device3D::setIndexedPrimitivesForbidden(!indexed);
    NullWindow window;
    AnimDevice anim;
    std::unique_ptr<Device3D> device;
    Viewport3D* viewport = nullptr;
    Ref<DirectionalLight> light1, light2;
    if (anim.initialise(&window, false, false, s.width, s.height, 32, AnimDevice::kRgb, 0) ||
        Device3D::create(anim, device) || device->createViewport(viewport) ||
        viewport->setBackgroundColour(0.5546875f, 0, 0, 255.0f) || device->createDirectionalLight(light1) ||
        device->createDirectionalLight(light2) || viewport->setAmbientColour(0.7f, 0.7f, 0.7f, 0.7f)) {
        std::fprintf(stderr, "raster: the engine cannot start\n");
        return false;
    }
    (void)light1->setPosition({100, 100, 50});
    (void)light1->setDirection({-100, -100, 0});
    (void)light2->setPosition({-100, -100, -50});
    (void)light2->setDirection({100, 100, 0});
    std::filesystem::path texture(s.texturePath);
    anim.setTexturePath(texture.parent_path().empty() ? "." : texture.parent_path().string());

    Ref<RenderMesh> mesh = indexed ? RenderDIPMesh::create(*device) : RenderMesh::create(*device);
    mesh->lock();
    mesh->setTextureName(texture.stem().string());
    mesh->setVertexCount(s.mesh.vertexCount());
    std::memcpy(mesh->vertices().data(), s.mesh.vertices.data(), s.mesh.vertices.size() * sizeof(float));
    mesh->setIndexCount(s.mesh.indices.size());
    std::copy(s.mesh.indices.begin(), s.mesh.indices.end(), mesh->indices().begin());
    mesh->setBox(s.mesh.box);
    if (mesh->commit() || mesh->materials().empty() || mesh->materials()[0]->name() == "Flesh")
        std::fprintf(stderr, "raster: the texture was not loaded\n");
    Ref<RenderGroup> group = RenderGroup::create();
    group->addChild(*mesh);

    Framing framing = frameMesh(s.mesh, s.width, s.height);
    viewport->setView(framing.view);
    viewport->setProjection(framing.projection);
    if (!cull)
        (void)device->graphics().setRenderState(platform::render_state::kCullMode,
                                                platform::cull_mode::kNone);

    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(s.frames));
    for (int frame = -kWarmUpFrames; frame < s.frames; ++frame) {
        auto start = std::chrono::steady_clock::now();
        group->setTransform(framing.turn(frame));
        anim.addUpdateRect({0, 0, anim.width(), anim.height()});
        if (clear == Clear::Full) viewport->invalidate();
        if (viewport->clear() || viewport->beginScene() || viewport->draw(*group) || viewport->endScene() ||
            anim.present()) {
            std::fprintf(stderr, "raster: %s: a frame failed\n", config.c_str());
            Device3D::setIndexedPrimitivesForbidden(false);
            return false;
        }
        auto end = std::chrono::steady_clock::now();
        if (frame >= 0) times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    report(config, times);
    Device3D::setIndexedPrimitivesForbidden(false);

    picture.clear();
    return readSurfacePixels(*anim.backSurface()->get(), {0, 0, anim.width(), anim.height()}, picture);
}

}  // namespace tryster::bench
