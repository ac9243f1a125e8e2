#pragma once
// A preview-like scene on the software display for the render tests: the
// device, one viewport with the preview's background, render states, two
// lights and ambient, and a camera at (0, 0, -10) looking along +z. Its
// pictures are compared with stored PNGs in tests/render/data (with
// TRYSTER_UPDATE_PICTURES set the picture is stored instead).

#include "formats/JpegImage.h"
#include "formats/PngImage.h"
#include "platform/DisplaySystem.h"
#include "platform/SurfacePixels.h"
#include "render/AnimDevice.h"
#include "render/Device3D.h"
#include "render/RenderGroup.h"
#include "render/RenderMesh.h"
#include "render/Viewport3D.h"
#include "softgpu/SoftwareDisplay.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tryster::test {

// Keeps the last presented frame.
class RecordingWindow final : public platform::DisplayWindow {
public:
    platform::DisplayWindow* parentWindow() override { return parent; }
    platform::ScreenRect screenRect() override { return rect; }
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override {
        ++frames;
        shown = source;
        lastWidth = frame.width;
    }
    platform::DisplayWindow* parent = nullptr;
    platform::ScreenRect rect{100, 100, 164, 164};
    platform::ScreenRect shown;
    int frames = 0;
    int lastWidth = 0;
};

// Installs a software display with the given options for its lifetime.
class DisplayOverride {
public:
    explicit DisplayOverride(softgpu::SoftwareDisplay::Options options = {}) {
        platform::installDisplaySystemFactory(
            [options] { return std::make_unique<softgpu::SoftwareDisplay>(options); });
    }
    ~DisplayOverride() {
        platform::installDisplaySystemFactory({});
        render::Device3D::setIndexedPrimitivesForbidden(false);
    }
};

class Scene {
public:
    Scene(int width, int height, std::string texturePath = {},
          softgpu::SoftwareDisplay::Options options = {})
        : display_(options) {
        EXPECT_EQ(anim.initialise(&window, false, false, width, height, options.desktop.bitsPerPixel, 1, 0),
                  render::render_error::kOk);
        if (!texturePath.empty()) anim.setTexturePath(texturePath);
        EXPECT_EQ(render::Device3D::create(anim, device), render::render_error::kOk);
        EXPECT_EQ(device->createViewport(viewport), render::render_error::kOk);
        EXPECT_EQ(viewport->setBackgroundColour(0.5546875f, 0, 0, 255.0f), render::render_error::kOk);
        EXPECT_EQ(viewport->createCamera(camera), render::render_error::kOk);
        camera->setPosition({0, 0, -10});
        camera->setDirection({0, 0, 1});
        camera->setFrontClip(1.0f);
        camera->setBackClip(100.0f);
        EXPECT_EQ(device->createDirectionalLight(light1), render::render_error::kOk);
        (void)light1->setPosition({100, 100, 50});
        (void)light1->setDirection({-100, -100, 0});
        EXPECT_EQ(device->createDirectionalLight(light2), render::render_error::kOk);
        (void)light2->setPosition({-100, -100, -50});
        (void)light2->setDirection({100, 100, 0});
        EXPECT_EQ(viewport->setAmbientColour(0.7f, 0.7f, 0.7f, 0.7f), render::render_error::kOk);
    }
    ~Scene() {
        camera.reset();
        light1.reset();
        light2.reset();
        device.reset();
    }

    render::RenderResult frame(render::RenderObject& object) {
        if (auto rc = viewport->clear()) return rc;
        if (auto rc = viewport->beginScene()) return rc;
        auto rc = viewport->draw(object);
        auto end = viewport->endScene();
        return rc ? rc : end;
    }

    std::vector<std::uint32_t> pixels() const {
        std::vector<std::uint32_t> out;
        platform::Surface* s = anim.backSurface()->get();
        auto d = s->description();
        EXPECT_TRUE(platform::readSurfacePixels(*s, {0, 0, d.width, d.height}, out));
        return out;
    }
    std::uint32_t pixel(int x, int y) const {
        return pixels()[static_cast<std::size_t>(y * anim.width() + x)] & 0xFFFFFF;
    }

    DisplayOverride display_;
    RecordingWindow window;
    render::AnimDevice anim;
    std::unique_ptr<render::Device3D> device;
    render::Viewport3D* viewport = nullptr;
    render::Ref<render::Camera> camera;
    render::Ref<render::DirectionalLight> light1, light2;
};

// A sphere of `rings` × `segments` quads with outward normals, wound
// clockwise as seen from outside (front faces under the default culling).
inline void fillSphere(render::RenderMesh& mesh, int rings, int segments, float radius) {
    mesh.lock();
    mesh.setVertexCount(static_cast<std::size_t>((rings + 1) * (segments + 1)));
    auto v = mesh.vertices();
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s) {
            float theta = std::numbers::pi_v<float> * static_cast<float>(r) / static_cast<float>(rings);
            float phi = 2 * std::numbers::pi_v<float> * static_cast<float>(s) / static_cast<float>(segments);
            float nx = std::sin(theta) * std::cos(phi), ny = std::cos(theta),
                  nz = std::sin(theta) * std::sin(phi);
            v[static_cast<std::size_t>(r * (segments + 1) + s)] = {
                nx * radius,
                ny * radius,
                nz * radius,
                nx,
                ny,
                nz,
                static_cast<float>(s) / static_cast<float>(segments),
                static_cast<float>(r) / static_cast<float>(rings)};
        }
    std::vector<std::uint16_t> idx;
    auto add = [&](int a, int b, int c) {
        const auto& A = v[static_cast<std::size_t>(a)];
        const auto& B = v[static_cast<std::size_t>(b)];
        const auto& C = v[static_cast<std::size_t>(c)];
        float ux = B.x - A.x, uy = B.y - A.y, uz = B.z - A.z, wx = C.x - A.x, wy = C.y - A.y, wz = C.z - A.z;
        float cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
        float mx = A.x + B.x + C.x, my = A.y + B.y + C.y, mz = A.z + B.z + C.z;
        if (cx * mx + cy * my + cz * mz < 0) std::swap(b, c);
        for (int i : {a, b, c}) idx.push_back(static_cast<std::uint16_t>(i));
    };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            int a = r * (segments + 1) + s, b = a + 1, c = a + segments + 1, d = c + 1;
            if (r > 0) add(a, b, c);
            if (r < rings - 1) add(b, d, c);
        }
    mesh.setIndexCount(idx.size());
    std::copy(idx.begin(), idx.end(), mesh.indices().begin());
    render::Box box;
    box.extend({-radius, -radius, -radius});
    box.extend({radius, radius, radius});
    mesh.setBox(box);
}

inline int channelDifference(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
        worst = std::max(worst, d);
    }
    return worst;
}

// Every pixel within `tolerance` per channel.
inline void expectPicture(const std::string& name, const std::vector<std::uint32_t>& pixels, int width,
                          int height, int tolerance = 2) {
    std::string path = std::string(TRYSTER_TEST_DATA) + "/" + name + ".png";
    if (std::getenv("TRYSTER_UPDATE_PICTURES")) {
        ASSERT_TRUE(formats::writePng(path, width, height, pixels.data(), static_cast<std::size_t>(width)));
        return;
    }
    formats::PngPicture stored;
    ASSERT_TRUE(formats::readPng(path, stored)) << path;
    ASSERT_EQ(stored.width, width);
    ASSERT_EQ(stored.height, height);
    int bad = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        if (channelDifference(pixels[i], stored.pixels[i]) > tolerance && bad++ < 5)
            ADD_FAILURE() << name << ": pixel " << i % static_cast<std::size_t>(width) << ","
                          << i / static_cast<std::size_t>(width) << std::hex << " is "
                          << (pixels[i] & 0xFFFFFF) << ", stored " << (stored.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(bad, 0) << name;
}

// Width and height of a whole JPEG; {0, 0} when the bytes do not decode.
inline std::pair<int, int> jpegSize(const std::string& bytes) {
    formats::JpegPicture picture;
    if (!formats::decodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, 4096,
                             picture))
        return {0, 0};
    return {picture.width, picture.height};
}

}  // namespace tryster::test
