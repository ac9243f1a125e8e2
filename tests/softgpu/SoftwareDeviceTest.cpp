#include "softgpu/SoftwareDisplay.h"

#include <cmath>
#include <cstring>
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
        auto* s = static_cast<softgpu::SoftwareSurface*>(target.get());
        return softgpu::loadPixel(s->storeKind(), s->row(y) + x * s->description().format.bytesPerPixel(),
                               s->paletteOrNull()) &
               0xFFFFFF;
    }
    static DeviceVertex at(float x, float y, float z = 0.5f) { return {x, y, z, 0, 0, -1, 0, 0}; }

    softgpu::SoftwareDisplay display;
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

}  // namespace
}  // namespace tryster::platform
