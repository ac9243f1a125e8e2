#include "platform/soft/SoftwareDisplay.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

namespace rs = render_state;

// A device drawing into a W × H surface with identity transforms, so that
// vertex x and y run from -1 (left, bottom) to 1 and z from 0 to 1.
class Device : public ::testing::Test {
protected:
    void make(int w, int h, PixelFormat format = pixel_format::kXrgb8888) {
        width = w;
        height = h;
        ASSERT_EQ(display.createSurface({w, h, format, SurfaceKind::Offscreen}, target), device_result::kOk);
        ASSERT_EQ(display.createSurface({w, h, pixel_format::kXrgb8888, SurfaceKind::ZBuffer}, zbuffer), device_result::kOk);
        ASSERT_EQ(display.createDevice(1, target, zbuffer, device), device_result::kOk);
        ASSERT_EQ(device->createViewport(viewport), device_result::kOk);
        ASSERT_EQ(device->setViewport(viewport, {0, 0, w, h}), device_result::kOk);
        ASSERT_EQ(device->setCurrentViewport(viewport), device_result::kOk);
        ASSERT_EQ(device->createMaterial(material), device_result::kOk);
        ASSERT_EQ(device->setLightState(light_state::kMaterial, material), device_result::kOk);
        ASSERT_EQ(device->createMaterial(background), device_result::kOk);
        ASSERT_EQ(device->setMaterial(background, {}), device_result::kOk);
        ASSERT_EQ(device->setBackground(viewport, background), device_result::kOk);
        ScreenRect all{0, 0, w, h};
        ASSERT_EQ(device->clear(viewport, {&all, 1}, kClearTarget | kClearZBuffer), device_result::kOk);
    }
    // Colour comes from the emissive term alone (no lights, no ambient).
    void colour(std::uint32_t rgb) {
        MaterialDesc m;
        m.emissive = {static_cast<float>((rgb >> 16) & 255) / 255.0f,
                      static_cast<float>((rgb >> 8) & 255) / 255.0f, static_cast<float>(rgb & 255) / 255.0f,
                      1};
        m.diffuse.a = 1;
        ASSERT_EQ(device->setMaterial(material, m), device_result::kOk);
    }
    DeviceResult draw(const std::vector<DeviceVertex>& v, const std::vector<std::uint16_t>& idx,
                      std::uint32_t flags = 0) {
        return device->drawIndexedPrimitive(PrimitiveType::TriangleList, kVertexFormatXyzNormalTex1, v.data(),
                                            static_cast<std::uint32_t>(v.size()), idx.data(),
                                            static_cast<std::uint32_t>(idx.size()), flags);
    }
    std::uint32_t pixel(int x, int y) {
        auto* s = static_cast<soft::SoftwareSurface*>(target.get());
        return soft::loadPixel(s->storeKind(), s->row(y) + x * s->description().format.bytesPerPixel(),
                               s->paletteOrNull()) &
               0xFFFFFF;
    }
    static DeviceVertex at(float x, float y, float z = 0.5f) { return {x, y, z, 0, 0, -1, 0, 0}; }

    soft::SoftwareDisplay display;
    std::shared_ptr<Surface> target, zbuffer;
    std::unique_ptr<GraphicsDevice> device;
    ViewportHandle viewport = 0;
    MaterialHandle material = 0, background = 0;
    int width = 0, height = 0;
};

TEST_F(Device, TrianglesSharingEdgesTouchEveryPixelOnce) {
    make(32, 32);
    colour(0x010101);
    ASSERT_EQ(device->setRenderState(rs::kZEnable, 0), device_result::kOk);
    ASSERT_EQ(device->setRenderState(rs::kCullMode, cull_mode::kNone), device_result::kOk);
    ASSERT_EQ(device->setRenderState(rs::kAlphaBlendEnable, 1), device_result::kOk);
    ASSERT_EQ(device->setRenderState(rs::kSrcBlend, blend_factor::kOne), device_result::kOk);
    ASSERT_EQ(device->setRenderState(rs::kDestBlend, blend_factor::kOne), device_result::kOk);
    // A fan of 12 triangles around an off-grid centre, covering the view.
    std::vector<DeviceVertex> v{at(0.13f, -0.07f)};
    std::vector<std::uint16_t> idx;
    for (int i = 0; i <= 12; ++i) {
        float a = 2 * std::numbers::pi_v<float> * static_cast<float>(i) / 12;
        v.push_back(at(1.9f * std::cos(a), 1.9f * std::sin(a)));
        if (i) idx.insert(idx.end(), {0, static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i + 1)});
    }
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw(v, idx), device_result::kOk);
    ASSERT_EQ(device->endScene(), device_result::kOk);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(pixel(x, y), 0x010101u) << x << "," << y;
}

TEST_F(Device, CullsCounterClockwiseTrianglesByDefault) {
    make(8, 8);
    colour(0xFFFFFF);
    std::vector<DeviceVertex> v{at(-1, -1), at(-1, 1), at(1, -1)};  // clockwise on screen
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw(v, {0, 2, 1}), device_result::kOk);
    EXPECT_EQ(pixel(1, 6), 0u);
    ASSERT_EQ(draw(v, {0, 1, 2}), device_result::kOk);
    EXPECT_EQ(pixel(1, 6), 0xFFFFFFu);
    ASSERT_EQ(device->endScene(), device_result::kOk);
}

TEST_F(Device, NearerSurfacesWinWhateverTheOrder) {
    make(8, 8);
    std::vector<DeviceVertex> nearQuad{at(-1, -1, 0.2f), at(-1, 1, 0.2f), at(1, 1, 0.2f), at(1, -1, 0.2f)};
    std::vector<DeviceVertex> farQuad{at(-1, -1, 0.8f), at(-1, 1, 0.8f), at(1, 1, 0.8f), at(1, -1, 0.8f)};
    std::vector<std::uint16_t> idx{0, 1, 2, 0, 2, 3};
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    colour(0x00FF00);
    ASSERT_EQ(draw(nearQuad, idx), device_result::kOk);
    colour(0xFF0000);
    ASSERT_EQ(draw(farQuad, idx), device_result::kOk);
    EXPECT_EQ(pixel(4, 4), 0x00FF00u);
    ASSERT_EQ(draw(nearQuad, idx), device_result::kOk);  // equal depth passes
    EXPECT_EQ(pixel(4, 4), 0xFF0000u);
    ASSERT_EQ(device->endScene(), device_result::kOk);
}

TEST_F(Device, DrawsIntoEveryTargetFormat) {
    struct Case {
        PixelFormat format;
        std::uint32_t expected;
    };
    // 0x8040C0 stored and read back with each format's precision.
    for (Case c : {Case{pixel_format::kRgb565, 0x8340C5}, Case{pixel_format::kRgba5551, 0x8341C5},
                   Case{pixel_format::kRgb888, 0x8040C0}, Case{pixel_format::kXrgb8888, 0x8040C0}}) {
        SCOPED_TRACE(c.format.bitsPerPixel);
        make(4, 4, c.format);
        colour(0x8040C0);
        ASSERT_EQ(device->beginScene(), device_result::kOk);
        ASSERT_EQ(draw({at(-1, -1), at(-1, 1), at(1, 1), at(1, -1)}, {0, 1, 2, 0, 2, 3}), device_result::kOk);
        ASSERT_EQ(device->endScene(), device_result::kOk);
        EXPECT_EQ(pixel(2, 2), c.expected);
    }
    make(4, 4, pixel_format::kPalette8);
    Palette p{};
    p[7] = {0x80, 0x40, 0xC0, 0};
    ASSERT_EQ(target->setPalette(p), device_result::kOk);
    colour(0x8040C0);
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw({at(-1, -1), at(-1, 1), at(1, 1), at(1, -1)}, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    ASSERT_EQ(device->endScene(), device_result::kOk);
    EXPECT_EQ(pixel(2, 2), 0x8040C0u);
}

// A texture of the given texels (one row).
TextureHandle texture(soft::SoftwareDisplay& display, GraphicsDevice& device,
                      std::vector<std::uint32_t> texels) {
    std::shared_ptr<Surface> s;
    EXPECT_EQ(display.createSurface(
                  {static_cast<int>(texels.size()), 1, pixel_format::kXrgb8888, SurfaceKind::Texture}, s),
              device_result::kOk);
    LockedSurface l;
    EXPECT_EQ(s->lock(l), device_result::kOk);
    std::memcpy(l.pixels, texels.data(), texels.size() * 4);
    EXPECT_EQ(s->unlock(), device_result::kOk);
    TextureHandle h = 0;
    EXPECT_EQ(device.createTexture(s, h), device_result::kOk);
    return h;
}

TEST_F(Device, TexturesFollowPerspective) {
    make(64, 8);
    colour(0xFFFFFF);
    ASSERT_EQ(device->setRenderState(rs::kTextureHandle, texture(display, *device, {0x000000, 0xFFFFFF})),
              device_result::kOk);
    // A quad from x = -1 at w = 1 to x = 3 at w = 3 (screen x -1 .. 1), u 0 .. 1.
    auto vertex = [](float x, float y, float w, float u) {
        return DeviceVertex{x, y * w, 0.5f * w, 0, 0, -1, u, 0};
    };
    // Identity matrices keep w = 1; put w into the fourth column.
    DeviceMatrix projection;
    projection.m[2][3] = 2;  // w = 2z
    projection.m[3][3] = 0;
    ASSERT_EQ(device->setTransform(transform_state::kProjection, projection), device_result::kOk);
    std::vector<DeviceVertex> v{vertex(-1, -1, 1, 0), vertex(-1, 1, 1, 0), vertex(3, 1, 3, 1),
                                vertex(3, -1, 3, 1)};
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    ASSERT_EQ(device->endScene(), device_result::kOk);
    // u = 1/2 lies at x = 1, w = 2: screen x 1/2, pixel 48, not the middle.
    EXPECT_EQ(pixel(44, 4), 0u);
    EXPECT_EQ(pixel(52, 4), 0xFFFFFFu);
    EXPECT_EQ(pixel(32, 4), 0u);
}

TEST_F(Device, MagnifiedTexturesBlendWithTheLinearFilter) {
    make(32, 4);
    colour(0xFFFFFF);
    ASSERT_EQ(device->setRenderState(rs::kTextureHandle, texture(display, *device, {0x000000, 0xFFFFFF})),
              device_result::kOk);
    std::vector<DeviceVertex> v{{-1, -1, 0.5f, 0, 0, -1, 0, 0},
                                {-1, 1, 0.5f, 0, 0, -1, 0, 0},
                                {1, 1, 0.5f, 0, 0, -1, 1, 0},
                                {1, -1, 0.5f, 0, 0, -1, 1, 0}};
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    std::uint32_t nearest = pixel(12, 2);
    ASSERT_EQ(device->setRenderState(rs::kTextureMag, texture_filter::kLinear), device_result::kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    std::uint32_t linear = pixel(12, 2);
    ASSERT_EQ(device->endScene(), device_result::kOk);
    EXPECT_EQ(nearest, 0u);
    // Between the two texel centres the colour ramps (wrapping at the ends).
    EXPECT_GT(linear & 255, 0x40u);
    EXPECT_LT(linear & 255, 0xC0u);
}

TEST_F(Device, LightsShadeVerticesAndGouraudBlendsThem) {
    make(32, 32);
    MaterialDesc m;
    m.diffuse = {1, 1, 1, 1};
    ASSERT_EQ(device->setMaterial(material, m), device_result::kOk);
    LightHandle light = 0;
    ASSERT_EQ(device->createLight(light), device_result::kOk);
    ASSERT_EQ(device->setLight(light, {LightType::Directional, {1, 1, 1, 1}, {}, {0, 0, 1}}), device_result::kOk);
    ASSERT_EQ(device->addLight(viewport, light), device_result::kOk);
    // Left vertices face the light, the right ones face away.
    std::vector<DeviceVertex> v{{-1, -1, 0.5f, 0, 0, -1, 0, 0},
                                {-1, 1, 0.5f, 0, 0, -1, 0, 0},
                                {1, 1, 0.5f, 1, 0, 0, 0, 0},
                                {1, -1, 0.5f, 1, 0, 0, 0, 0}};
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    EXPECT_GT(pixel(1, 16) & 255, 0xF0u);
    EXPECT_LT(pixel(30, 16) & 255, 0x10u);
    EXPECT_NEAR(static_cast<int>(pixel(16, 16) & 255), 127, 6);
    ASSERT_EQ(device->setRenderState(rs::kShadeMode, shade_mode::kFlat), device_result::kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    EXPECT_GT(pixel(28, 16) & 255, 0xF0u);  // the first vertex's colour throughout
    ASSERT_EQ(device->endScene(), device_result::kOk);
}

TEST_F(Device, ReportsTheScreenExtentAndClipsToTheViewport) {
    make(16, 16);
    colour(0xFFFFFF);
    device->setClipStatus({});
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    // Reaches past the right edge; drawn unclipped it must still stay inside.
    ASSERT_EQ(
        draw({at(0, -0.5f), at(0, 0.5f), at(3, 0.5f), at(3, -0.5f)}, {0, 1, 2, 0, 2, 3}, kDrawDoNotClip),
        device_result::kOk);
    ASSERT_EQ(device->endScene(), device_result::kOk);
    ClipStatus status = device->clipStatus();
    ASSERT_TRUE(status.hasExtent);
    EXPECT_EQ(status.extent, (ScreenRect{8, 4, 16, 12}));
    EXPECT_EQ(pixel(15, 8), 0xFFFFFFu);
}

TEST_F(Device, ANewRenderTargetTakesTheDrawingAndViewportsMustFitIt) {
    make(8, 8);
    colour(0xFFFFFF);
    std::shared_ptr<Surface> bigger, biggerZ, smaller;
    ASSERT_EQ(display.createSurface({16, 12, pixel_format::kXrgb8888, SurfaceKind::Offscreen}, bigger), device_result::kOk);
    ASSERT_EQ(display.createSurface({16, 12, pixel_format::kXrgb8888, SurfaceKind::ZBuffer}, biggerZ), device_result::kOk);
    ASSERT_EQ(display.createSurface({4, 4, pixel_format::kXrgb8888, SurfaceKind::Offscreen}, smaller), device_result::kOk);
    EXPECT_EQ(device->setRenderTarget(bigger, smaller), device_result::kInvalidParams) << "z-buffer of another size";
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    EXPECT_EQ(device->setRenderTarget(bigger, biggerZ), device_result::kSceneInScene);
    ASSERT_EQ(device->endScene(), device_result::kOk);

    ASSERT_EQ(device->setRenderTarget(bigger, biggerZ), device_result::kOk);
    target = bigger;
    ASSERT_EQ(device->setViewport(viewport, {0, 0, 16, 12}), device_result::kOk);
    ASSERT_EQ(device->setCurrentViewport(viewport), device_result::kOk);
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(draw({at(-1, -1, 0.9f), at(-1, 1, 0.9f), at(1, 1, 0.9f), at(1, -1, 0.9f)}, {0, 1, 2, 0, 2, 3}), device_result::kOk);
    ASSERT_EQ(device->endScene(), device_result::kOk);
    EXPECT_EQ(pixel(15, 11), 0xFFFFFFu) << "drawn to the new target's far corner, its depth far";

    ASSERT_EQ(device->setRenderTarget(smaller, nullptr), device_result::kOk);
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    EXPECT_NE(draw({at(-1, -1), at(-1, 1), at(1, 1)}, {0, 1, 2}), device_result::kOk) << "the 16 x 12 viewport no longer fits";
    ScreenRect all{0, 0, 4, 4};
    EXPECT_NE(device->clear(viewport, {&all, 1}, kClearTarget), device_result::kOk);
    ASSERT_EQ(device->endScene(), device_result::kOk);
}

TEST_F(Device, RefusesDrawingOutsideAScene) {
    make(4, 4);
    EXPECT_EQ(draw({at(0, 0), at(0, 1), at(1, 0)}, {0, 1, 2}), device_result::kSceneNotInScene);
    EXPECT_EQ(device->endScene(), device_result::kSceneNotInScene);
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    EXPECT_EQ(device->beginScene(), device_result::kSceneInScene);
    EXPECT_EQ(device->drawIndexedPrimitive(PrimitiveType::TriangleList, 0x2, nullptr, 0, nullptr, 0, 0),
              device_result::kInvalidParams);
}

TEST_F(Device, LostSurfacesRefuseLocksAndScenesUntilRestored) {
    make(4, 4);
    display.loseSurfaces();
    LockedSurface l;
    EXPECT_EQ(target->lock(l), device_result::kSurfaceLost);
    EXPECT_EQ(device->beginScene(), device_result::kSurfaceLost);
    ASSERT_EQ(display.restoreAllSurfaces(), device_result::kOk);
    EXPECT_EQ(target->lock(l), device_result::kOk);
    EXPECT_EQ(target->lock(l), device_result::kSurfaceBusy);
    EXPECT_EQ(target->unlock(), device_result::kOk);
    EXPECT_EQ(device->beginScene(), device_result::kOk);
}

// Builds execute buffers byte by byte.
struct Recording {
    template <typename T>
    void add(const T& record) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&record);
        bytes.insert(bytes.end(), p, p + sizeof(T));
    }
    void op(ExecuteOp code, std::size_t size, std::size_t count) {
        add(ExecuteInstruction{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(size),
                               static_cast<std::uint16_t>(count)});
    }
    ExecuteData data(std::uint32_t vertices) const {
        std::uint32_t vb = vertices * 32;
        return {0, vertices, vb, static_cast<std::uint32_t>(bytes.size()) - vb};
    }
    std::vector<std::uint8_t> bytes;
};

TEST_F(Device, ExecuteBuffersAreCheckedInstructionByInstruction) {
    make(8, 8);
    colour(0xFFFFFF);
    Recording r;
    for (auto v : {at(-1, -1), at(-1, 1), at(1, -1)}) r.add(v);
    r.op(ExecuteOp::ProcessVertices, 16, 1);
    r.add(ExecuteProcessVertices{kProcessTransformLight, 0, 0, 3, 0});
    r.op(ExecuteOp::Triangle, 8, 2);
    r.add(ExecuteTriangle{0, 1, 2, 0});
    r.add(ExecuteTriangle{0, 1, 40, 0});  // names a vertex the buffer lacks: skipped
    r.op(ExecuteOp::Exit, 0, 0);
    ASSERT_EQ(device->beginScene(), device_result::kOk);
    ASSERT_EQ(device->execute(r.bytes, r.data(3), ExecuteClipping::Clipped), device_result::kOk);
    EXPECT_EQ(pixel(1, 6), 0xFFFFFFu);

    struct Bad {
        const char* what;
        std::function<void(Recording&)> build;
        DeviceResult expected;
    };
    const Bad cases[] = {
        {"records past the end", [](Recording& b) { b.op(ExecuteOp::Triangle, 8, 100); },
         device_result::kInvalidParams},
        {"records too small",
         [](Recording& b) {
             b.op(ExecuteOp::Triangle, 2, 1);
             b.add(std::uint16_t{0});
         },
         device_result::kInvalidParams},
        {"processing past the vertices",
         [](Recording& b) {
             b.op(ExecuteOp::ProcessVertices, 16, 1);
             b.add(ExecuteProcessVertices{0, 2, 0, 5, 0});
         },
         device_result::kInvalidParams},
        {"matrix handles",
         [](Recording& b) {
             b.op(ExecuteOp::StateTransform, 8, 1);
             b.add(ExecuteState{1, 1});
         },
         device_result::kUnsupported},
        {"unknown opcode", [](Recording& b) { b.op(static_cast<ExecuteOp>(99), 0, 0); },
         device_result::kInvalidParams},
    };
    for (const Bad& c : cases) {
        Recording b;
        for (auto v : {at(-1, -1), at(-1, 1), at(1, -1)}) b.add(v);
        c.build(b);
        EXPECT_EQ(device->execute(b.bytes, b.data(3), ExecuteClipping::Clipped), c.expected) << c.what;
    }
    ExecuteData outside{0, 1000, 0, 4};
    EXPECT_EQ(device->execute(r.bytes, outside, ExecuteClipping::Clipped), device_result::kInvalidParams);
    ASSERT_EQ(device->endScene(), device_result::kOk);
}

}  // namespace
}  // namespace tryster::platform
