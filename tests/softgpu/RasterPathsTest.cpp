// The rasterizer draws the common case (32-bit target, LESSEQUAL depth, no
// blending) four or, with AVX2, eight pixels at a time, and everything
// else one pixel at a time. A blend of one and zero writes the source as
// it is but takes the one-at-a-time path, so all three must agree to the
// bit on scenes with every kind of triangle.

#include "softgpu/Rasterizer.h"
#include "softgpu/SoftwareDisplay.h"
#include "softgpu/SoftwareSurface.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

namespace rs = render_state;

struct SceneOptions {
    int width = 61, height = 47;  // odd: quads and stamps reach past the edges
    bool perspective = false;
    bool flat = false;
    float size = 0.2f;  // of a triangle, in viewport halves
};

enum class Path { Widest, FourWide, OneAtATime };

std::vector<std::uint32_t> render(const SceneOptions& o, Path path) {
    softgpu::Rasterizer::forbidEightWide(path != Path::Widest);
    softgpu::SoftwareDisplay display;
    std::shared_ptr<Surface> target, zbuffer, texture;
    std::unique_ptr<GraphicsDevice> device;
    EXPECT_EQ(display.createSurface({o.width, o.height, pixel_format::kXrgb8888, SurfaceKind::Offscreen}, target), device_result::kOk);
    EXPECT_EQ(display.createSurface({o.width, o.height, pixel_format::kXrgb8888, SurfaceKind::ZBuffer}, zbuffer), device_result::kOk);
    EXPECT_EQ(display.createDevice(1, target, zbuffer, device), device_result::kOk);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0, 1);

    // A 32 × 16 texture of noise, so any texel taken wrongly shows.
    EXPECT_EQ(display.createSurface({32, 16, pixel_format::kXrgb8888, SurfaceKind::Texture}, texture), device_result::kOk);
    LockedSurface texels;
    EXPECT_EQ(texture->lock(texels), device_result::kOk);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint32_t c = random();
            std::memcpy(texels.pixels + y * texels.pitch + x * 4, &c, 4);
        }
    EXPECT_EQ(texture->unlock(), device_result::kOk);
    TextureHandle textureHandle = 0;
    EXPECT_EQ(device->createTexture(texture, textureHandle), device_result::kOk);

    ViewportHandle viewport = 0;
    MaterialHandle material = 0, background = 0;
    LightHandle light = 0;
    EXPECT_EQ(device->createViewport(viewport), device_result::kOk);
    EXPECT_EQ(device->setViewport(viewport, {0, 0, o.width, o.height}), device_result::kOk);
    EXPECT_EQ(device->setCurrentViewport(viewport), device_result::kOk);
    EXPECT_EQ(device->createMaterial(material), device_result::kOk);
    EXPECT_EQ(device->setMaterial(material, {{0.8f, 0.7f, 0.6f, 1}, {1, 1, 1, 1}, {}, {0.05f, 0.1f, 0, 0}, 0, 0}),
              device_result::kOk);
    EXPECT_EQ(device->setLightState(light_state::kMaterial, material), device_result::kOk);
    EXPECT_EQ(device->setLightState(light_state::kAmbient, 0xFF404040u), device_result::kOk);
    EXPECT_EQ(device->createMaterial(background), device_result::kOk);
    EXPECT_EQ(device->setMaterial(background, {}), device_result::kOk);
    EXPECT_EQ(device->setBackground(viewport, background), device_result::kOk);
    EXPECT_EQ(device->createLight(light), device_result::kOk);
    EXPECT_EQ(device->setLight(light, {LightType::Directional, {1, 1, 1, 1}, {}, {-0.3f, -0.5f, 0.8f}}), device_result::kOk);
    EXPECT_EQ(device->addLight(viewport, light), device_result::kOk);
    const ScreenRect all{0, 0, o.width, o.height};
    EXPECT_EQ(device->clear(viewport, {&all, 1}, kClearTarget | kClearZBuffer), device_result::kOk);

    DeviceMatrix projection, world;
    if (o.perspective) {
        projection.m[2][2] = 1.1f;
        projection.m[2][3] = 1;
        projection.m[3][2] = -0.55f;
        projection.m[3][3] = 0;
        world.m[3][2] = 2.5f;
    }
    EXPECT_EQ(device->setTransform(transform_state::kProjection, projection), device_result::kOk);
    EXPECT_EQ(device->setTransform(transform_state::kWorld, world), device_result::kOk);
    EXPECT_EQ(device->setRenderState(rs::kCullMode, cull_mode::kNone), device_result::kOk);
    EXPECT_EQ(device->setRenderState(rs::kTextureHandle, textureHandle), device_result::kOk);
    EXPECT_EQ(device->setRenderState(rs::kTextureMag, texture_filter::kLinear), device_result::kOk);
    EXPECT_EQ(device->setRenderState(rs::kShadeMode, o.flat ? shade_mode::kFlat : shade_mode::kGouraud), device_result::kOk);
    if (path == Path::OneAtATime) {
        EXPECT_EQ(device->setRenderState(rs::kAlphaBlendEnable, 1), device_result::kOk);
        EXPECT_EQ(device->setRenderState(rs::kSrcBlend, blend_factor::kOne), device_result::kOk);
        EXPECT_EQ(device->setRenderState(rs::kDestBlend, blend_factor::kZero), device_result::kOk);
    }

    // Triangles all over the view and past its edges, overlapping in
    // depth, of one size around the given one.
    std::vector<DeviceVertex> v;
    std::vector<std::uint16_t> indices;
    for (int t = 0; t < 300; ++t) {
        // In perspective, about three units away: spread three times as far.
        const float spread = o.perspective ? 3.0f : 1.0f;
        const float cx = unit(random) * 2.4f - 1.2f, cy = unit(random) * 2.4f - 1.2f, cz = unit(random) * 0.9f + 0.05f;
        for (int k = 0; k < 3; ++k) {
            const float a = unit(random) * 6.3f;
            v.push_back({(cx + (unit(random) - 0.5f) * o.size * 2) * spread,
                         (cy + (unit(random) - 0.5f) * o.size * 2) * spread,
                         (cz + (unit(random) - 0.5f) * 0.1f) * (o.perspective ? 1.5f : 1.0f), std::cos(a),
                         std::sin(a), -0.5f, unit(random) * 3 - 1, unit(random) * 3 - 1});
            indices.push_back(static_cast<std::uint16_t>(v.size() - 1));
        }
    }
    EXPECT_EQ(device->beginScene(), device_result::kOk);
    EXPECT_EQ(device->drawIndexedPrimitive(PrimitiveType::TriangleList, kVertexFormatXyzNormalTex1, v.data(),
                                           static_cast<std::uint32_t>(v.size()), indices.data(),
                                           static_cast<std::uint32_t>(indices.size()), 0),
              device_result::kOk);
    EXPECT_EQ(device->endScene(), device_result::kOk);
    softgpu::Rasterizer::forbidEightWide(false);

    std::vector<std::uint32_t> pixels;
    auto* surface = static_cast<softgpu::SoftwareSurface*>(target.get());
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            std::uint32_t p;
            std::memcpy(&p, surface->row(y) + x * 4, 4);
            pixels.push_back(p & 0xFFFFFF);
        }
    return pixels;
}

void expectAllPathsAgree(const SceneOptions& o) {
    const std::vector<std::uint32_t> reference = render(o, Path::OneAtATime);
    int drawn = 0;
    for (std::uint32_t p : reference) drawn += p != 0;
    EXPECT_GT(drawn, static_cast<int>(reference.size()) / 2) << "the scene covers the view";
    EXPECT_EQ(render(o, Path::FourWide), reference);
    EXPECT_EQ(render(o, Path::Widest), reference);
}

TEST(RasterPaths, AgreeOnSmallTriangles) { expectAllPathsAgree({}); }

TEST(RasterPaths, AgreeOnLargeTrianglesDrawnInBlocks) { expectAllPathsAgree({.width = 97, .height = 83, .size = 0.9f}); }

TEST(RasterPaths, AgreeOnPerspectiveTexturing) {
    expectAllPathsAgree({.perspective = true, .size = 0.4f});
}

TEST(RasterPaths, AgreeOnFlatShading) { expectAllPathsAgree({.flat = true, .size = 0.3f}); }


// Triangles of a pixel or two, at every subpixel position: many cover no
// pixel centre at all, and those the batch leaves out early. One at a time
// (drawTriangle, which sets up every triangle) and in batches of four, the
// pictures and depths must be the same.
TEST(RasterPaths, BatchesOfTinyTrianglesDrawAsOneAtATime) {
    constexpr int kSide = 24;
    std::mt19937 tiny(7);
    std::uniform_real_distribution<float> at(2.0f, kSide - 2.0f), near(-1.2f, 1.2f), depth(0.0f, 1.0f);
    std::vector<softgpu::ProcessedVertex> corners(3 * 2000);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        softgpu::ProcessedVertex& v = corners[i];
        const softgpu::ProcessedVertex* first = i % 3 ? &corners[i - i % 3] : nullptr;
        v.sx = first ? first->sx + near(tiny) : at(tiny);
        v.sy = first ? first->sy + near(tiny) : at(tiny);
        v.sz = depth(tiny);
        v.rhw = 1;
        v.b = static_cast<float>(i % 251);
        v.g = static_cast<float>(i * 7 % 253);
        v.r = 200;
        v.clip = 0;
    }
    auto draw = [&](bool batched) {
        auto surface = softgpu::SoftwareSurface::create({kSide, kSide, PixelFormat{}, SurfaceKind::Offscreen});
        std::vector<float> depths(static_cast<std::size_t>(kSide) * (kSide + softgpu::SoftwareSurface::kSpareRows) +
                                      softgpu::SoftwareSurface::kSpareWords,
                                  1.0f);
        softgpu::RasterState state;
        state.target = surface.get();
        state.depth = depths.data();
        state.depthPitch = kSide;
        state.clip = {0, 0, kSide, kSide};
        state.cull = cull_mode::kNone;
        softgpu::Rasterizer rasterizer;
        rasterizer.setState(state);
        softgpu::TriangleBatch batch;
        for (std::size_t i = 0; i < corners.size(); i += 3) {
            if (!batched) {
                rasterizer.drawTriangle(corners[i], corners[i + 1], corners[i + 2]);
                continue;
            }
            batch.add(corners[i], corners[i + 1], corners[i + 2]);
            if (batch.full()) rasterizer.drawBatch(batch);
        }
        rasterizer.drawBatch(batch);
        std::vector<std::uint32_t> out;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                std::uint32_t p;
                std::memcpy(&p, surface->row(y) + x * 4, 4);
                out.push_back(p & 0xFFFFFF);
                float z = depths[static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)];
                std::memcpy(&p, &z, 4);
                out.push_back(p);
            }
        return out;
    };
    const std::vector<std::uint32_t> reference = draw(false);
    int drawn = 0;
    for (std::size_t i = 0; i < reference.size(); i += 2) drawn += reference[i] != 0;
    EXPECT_GT(drawn, kSide * kSide / 2) << "the triangles cover most of the view";
    EXPECT_EQ(draw(true), reference);
}

}  // namespace
}  // namespace tryster::platform
