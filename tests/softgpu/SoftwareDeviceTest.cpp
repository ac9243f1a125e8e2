#include "softgpu/FillWords.h"
#include "softgpu/Rasterizer.h"
#include "softgpu/SoftwareDevice.h"
#include "softgpu/SoftwareDisplay.h"
#include "softgpu/SoftwareSurface.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

namespace rs = render_state;
using device_result::kOk;

// A device drawing into a W × H surface with identity transforms, so that
// vertex x and y run from -1 (left, bottom) to 1 and z from 0 to 1.
class Device : public ::testing::Test {
protected:
    void make(int w, int h, PixelFormat format = pixel_format::kXrgb8888) {
        ASSERT_EQ(display.createSurface({w, h, format, SurfaceKind::Offscreen}, target), kOk);
        ASSERT_EQ(display.createSurface({w, h, pixel_format::kXrgb8888, SurfaceKind::ZBuffer}, zbuffer), kOk);
        ASSERT_EQ(display.createDevice(1, target, zbuffer, device), kOk);
        ASSERT_EQ(device->createViewport(viewport), kOk);
        ASSERT_EQ(device->setViewport(viewport, {0, 0, w, h}), kOk);
        ASSERT_EQ(device->setCurrentViewport(viewport), kOk);
        ASSERT_EQ(device->createMaterial(material), kOk);
        ASSERT_EQ(device->setLightState(light_state::kMaterial, material), kOk);
        ASSERT_EQ(device->createMaterial(background), kOk);
        ASSERT_EQ(device->setMaterial(background, {}), kOk);
        ASSERT_EQ(device->setBackground(viewport, background), kOk);
        ScreenRect all{0, 0, w, h};
        ASSERT_EQ(device->clear(viewport, {&all, 1}, kClearTarget | kClearZBuffer), kOk);
    }
    // Colour comes from the emissive term alone (no lights, no ambient).
    void colour(std::uint32_t rgb) {
        MaterialDesc m;
        m.emissive = {static_cast<float>((rgb >> 16) & 255) / 255.0f,
                      static_cast<float>((rgb >> 8) & 255) / 255.0f, static_cast<float>(rgb & 255) / 255.0f,
                      1};
        m.diffuse.a = 1;
        ASSERT_EQ(device->setMaterial(material, m), kOk);
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
};

TEST_F(Device, TrianglesSharingEdgesTouchEveryPixelOnce) {
    make(32, 32);
    colour(0x010101);
    ASSERT_EQ(device->setRenderState(rs::kZEnable, 0), kOk);
    ASSERT_EQ(device->setRenderState(rs::kCullMode, cull_mode::kNone), kOk);
    ASSERT_EQ(device->setRenderState(rs::kAlphaBlendEnable, 1), kOk);
    ASSERT_EQ(device->setRenderState(rs::kSrcBlend, blend_factor::kOne), kOk);
    ASSERT_EQ(device->setRenderState(rs::kDestBlend, blend_factor::kOne), kOk);
    // A fan of 12 triangles around an off-grid centre, covering the view.
    std::vector<DeviceVertex> v{at(0.13f, -0.07f)};
    std::vector<std::uint16_t> idx;
    for (int i = 0; i <= 12; ++i) {
        float a = 2 * std::numbers::pi_v<float> * static_cast<float>(i) / 12;
        v.push_back(at(1.9f * std::cos(a), 1.9f * std::sin(a)));
        if (i) idx.insert(idx.end(), {0, static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i + 1)});
    }
    ASSERT_EQ(device->beginScene(), kOk);
    ASSERT_EQ(draw(v, idx), kOk);
    ASSERT_EQ(device->endScene(), kOk);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(pixel(x, y), 0x010101u) << x << "," << y;
}

TEST_F(Device, CullsCounterClockwiseTrianglesByDefault) {
    make(8, 8);
    colour(0xFFFFFF);
    std::vector<DeviceVertex> v{at(-1, -1), at(-1, 1), at(1, -1)};  // clockwise on screen
    ASSERT_EQ(device->beginScene(), kOk);
    ASSERT_EQ(draw(v, {0, 2, 1}), kOk);
    EXPECT_EQ(pixel(1, 6), 0u);
    ASSERT_EQ(draw(v, {0, 1, 2}), kOk);
    EXPECT_EQ(pixel(1, 6), 0xFFFFFFu);
    ASSERT_EQ(device->endScene(), kOk);
}

TEST_F(Device, DrawsIntoEveryTargetFormat) {
    struct Case {
        PixelFormat format;
        std::uint32_t expected;
    };
    // 0x8040C0 stored and read back with each format's precision; the
    // palette's nearest entry is the colour itself.
    for (Case c : {Case{pixel_format::kRgb565, 0x8340C5}, Case{pixel_format::kRgba5551, 0x8341C5},
                   Case{pixel_format::kRgb888, 0x8040C0}, Case{pixel_format::kXrgb8888, 0x8040C0},
                   Case{pixel_format::kPalette8, 0x8040C0}}) {
        SCOPED_TRACE(c.format.bitsPerPixel);
        make(4, 4, c.format);
        Palette p{};
        p[7] = {0x80, 0x40, 0xC0, 0};
        if (c.format.bitsPerPixel == 8) {
            ASSERT_EQ(target->setPalette(p), kOk);
        }
        colour(0x8040C0);
        ASSERT_EQ(device->beginScene(), kOk);
        ASSERT_EQ(draw({at(-1, -1), at(-1, 1), at(1, 1), at(1, -1)}, {0, 1, 2, 0, 2, 3}), kOk);
        ASSERT_EQ(device->endScene(), kOk);
        EXPECT_EQ(pixel(2, 2), c.expected);
    }
}

TEST_F(Device, LightsShadeVerticesAndGouraudBlendsThem) {
    make(32, 32);
    MaterialDesc m;
    m.diffuse = {1, 1, 1, 1};
    ASSERT_EQ(device->setMaterial(material, m), kOk);
    LightHandle light = 0;
    ASSERT_EQ(device->createLight(light), kOk);
    ASSERT_EQ(device->setLight(light, {LightType::Directional, {1, 1, 1, 1}, {}, {0, 0, 1}}), kOk);
    ASSERT_EQ(device->addLight(viewport, light), kOk);
    // Left vertices face the light, the right ones face away.
    std::vector<DeviceVertex> v{{-1, -1, 0.5f, 0, 0, -1, 0, 0},
                                {-1, 1, 0.5f, 0, 0, -1, 0, 0},
                                {1, 1, 0.5f, 1, 0, 0, 0, 0},
                                {1, -1, 0.5f, 1, 0, 0, 0, 0}};
    ASSERT_EQ(device->beginScene(), kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), kOk);
    EXPECT_GT(pixel(1, 16) & 255, 0xF0u);
    EXPECT_LT(pixel(30, 16) & 255, 0x10u);
    EXPECT_NEAR(static_cast<int>(pixel(16, 16) & 255), 127, 6);
    ASSERT_EQ(device->setRenderState(rs::kShadeMode, shade_mode::kFlat), kOk);
    ASSERT_EQ(draw(v, {0, 1, 2, 0, 2, 3}), kOk);
    EXPECT_GT(pixel(28, 16) & 255, 0xF0u);  // the first vertex's colour throughout
    ASSERT_EQ(device->endScene(), kOk);
}

// Each scene starts by reading the textures the last finished scene drew
// with: those it set while drawing, each once, up to eight; none once
// released.
TEST_F(Device, KnowsTheTexturesTheLastSceneDrewWith) {
    make(8, 8);
    auto* soft = static_cast<softgpu::SoftwareDevice*>(device.get());
    auto newTexture = [&] {
        std::shared_ptr<Surface> surface;
        TextureHandle handle = 0;
        EXPECT_EQ(display.createSurface({4, 4, pixel_format::kXrgb8888, SurfaceKind::Texture}, surface), kOk);
        EXPECT_EQ(device->createTexture(surface, handle), kOk);
        return handle;
    };
    auto drawWith = [&](TextureHandle texture) {
        ASSERT_EQ(device->setRenderState(rs::kTextureHandle, texture), kOk);
        ASSERT_EQ(draw({at(-1, -1), at(-1, 1), at(1, 1)}, {0, 1, 2}), kOk);
    };
    auto scene = [&](const std::vector<TextureHandle>& textures) {
        ASSERT_EQ(device->beginScene(), kOk);
        for (TextureHandle t : textures) drawWith(t);
        ASSERT_EQ(device->endScene(), kOk);
    };
    auto last = [&] { return std::vector<TextureHandle>(soft->lastSceneTextures().begin(), soft->lastSceneTextures().end()); };
    std::vector<TextureHandle> many;
    for (int i = 0; i < 10; ++i) many.push_back(newTexture());
    const TextureHandle a = many[0], b = many[1];

    EXPECT_TRUE(last().empty());
    scene({b, 0, a, b});
    EXPECT_EQ(last(), (std::vector{b, a}));
    ASSERT_EQ(device->beginScene(), kOk);  // a scene not yet finished counts once it is
    drawWith(a);
    EXPECT_EQ(last(), (std::vector{b, a}));
    ASSERT_EQ(device->endScene(), kOk);
    EXPECT_EQ(last(), (std::vector{a}));
    scene({});
    EXPECT_TRUE(last().empty());
    scene(many);
    EXPECT_EQ(last(), std::vector(many.begin(), many.begin() + 8));
    // Released, then not read by the next scene (nor by any other).
    for (TextureHandle t : many) ASSERT_EQ(device->releaseTexture(t), kOk);
    scene({});
}

// A clear of the last frame's box writes only the columns the draws since
// touched, where the device knows the rest is clear already. Frames of
// triangles wandering over the target, each cleared by the box of the one
// before (or less, or the whole), with a change of background, a lock, a
// change of palette and a clear of depth alone between them, on 32-bit and
// palette targets, must leave the pictures that full clears of the same
// rectangles leave: those of the colour and the depth each on its own,
// which the device always clears whole.
TEST_F(Device, ClearsOfTheLastBoxLeaveWhatWholeClearsLeave) {
    constexpr int kWidth = 75, kHeight = 61;
    auto frames = [&](bool whole, PixelFormat format) {
        make(kWidth, kHeight, format);
        std::mt19937 random(11);
        std::uniform_real_distribution<float> unit(0, 1);
        std::vector<std::uint32_t> pictures;
        ScreenRect box{0, 0, kWidth, kHeight};
        for (int frame = 0; frame < 40; ++frame) {
            if (frame == 17) {  // another background for a while
                EXPECT_EQ(device->setMaterial(background, {{0.2f, 0.4f, 0.6f, 1}, {}, {}, {}, 0, 0}), kOk);
            }
            if (frame == 23) {
                EXPECT_EQ(device->setMaterial(background, {}), kOk);
            }
            if (frame == 34 && format.palettized()) {  // the same colours now store as other indices
                Palette palette{};
                for (int i = 0; i < 256; ++i)
                    palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(255 - i),
                                                            static_cast<std::uint8_t>(i * 7),
                                                            static_cast<std::uint8_t>(i * 13), 0};
                EXPECT_EQ(target->setPalette(palette), kOk);
            }
            if (frame == 0 || frame == 29) {
                LockedSurface locked;
                EXPECT_EQ(target->lock(locked), kOk);
                if (frame == 0)  // a line drawn by whoever locked it
                    std::memset(locked.pixels + 30 * locked.pitch, 0x7F, static_cast<std::size_t>(kWidth) * 4);
                EXPECT_EQ(target->unlock(), kOk);
            }
            // The last box; now and then part of it, or everything.
            ScreenRect cleared = box;
            if (frame % 7 == 3) cleared.right = (box.left + box.right) / 2;
            if (frame % 7 == 5) cleared.bottom = (box.top + box.bottom) / 2;
            if (frame % 11 == 10 || frame == 35) cleared = {0, 0, kWidth, kHeight};
            const std::uint32_t what = frame % 13 == 12 ? kClearZBuffer : kClearTarget | kClearZBuffer;
            if (whole && what != kClearZBuffer) {
                EXPECT_EQ(device->clear(viewport, {&cleared, 1}, kClearTarget), kOk);
                EXPECT_EQ(device->clear(viewport, {&cleared, 1}, kClearZBuffer), kOk);
            } else {
                EXPECT_EQ(device->clear(viewport, {&cleared, 1}, what), kOk);
            }
            // A cluster of triangles somewhere, overlapping in depth.
            colour(0x102030u + static_cast<std::uint32_t>(frame) * 0x050309u);
            const float cx = unit(random) * 1.6f - 0.8f, cy = unit(random) * 1.6f - 0.8f;
            std::vector<DeviceVertex> v;
            std::vector<std::uint16_t> indices;
            for (int t = 0; t < 12; ++t)
                for (int k = 0; k < 3; ++k) {
                    v.push_back(at(cx + (unit(random) - 0.5f) * 0.6f, cy + (unit(random) - 0.5f) * 0.6f,
                                   unit(random) * 0.9f + 0.05f));
                    indices.push_back(static_cast<std::uint16_t>(v.size() - 1));
                }
            EXPECT_EQ(device->setRenderState(rs::kCullMode, cull_mode::kNone), kOk);
            EXPECT_EQ(device->beginScene(), kOk);
            EXPECT_EQ(draw(v, indices), kOk);
            EXPECT_EQ(device->endScene(), kOk);
            // The drawn box, from the corners, a pixel wider all round.
            float xmin = 1, xmax = -1, ymin = 1, ymax = -1;
            for (const DeviceVertex& d : v) {
                xmin = std::min(xmin, d.x), xmax = std::max(xmax, d.x);
                ymin = std::min(ymin, d.y), ymax = std::max(ymax, d.y);
            }
            box = intersect({static_cast<int>((xmin + 1) * kWidth / 2) - 1,
                             static_cast<int>((1 - ymax) * kHeight / 2) - 1,
                             static_cast<int>((xmax + 1) * kWidth / 2) + 2,
                             static_cast<int>((1 - ymin) * kHeight / 2) + 2},
                            {0, 0, kWidth, kHeight});
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) pictures.push_back(pixel(x, y));
        }
        return pictures;
    };
    for (PixelFormat format : {pixel_format::kXrgb8888, pixel_format::kPalette8}) {
        const std::vector<std::uint32_t> whole = frames(true, format);
        const std::vector<std::uint32_t> known = frames(false, format);
        ASSERT_EQ(known.size(), whole.size());
        std::size_t first = 0;
        while (first < whole.size() && whole[first] == known[first]) ++first;
        EXPECT_EQ(first, whole.size()) << "first difference in frame " << first / (kWidth * kHeight) << " of "
                                       << format.bitsPerPixel << "-bit pixels";
    }
}

// The rasterizer draws the common case (32-bit target, LESSEQUAL depth, no
// blending) four or, with AVX2, eight pixels at a time, and everything
// else one pixel at a time. A blend of one and zero writes the source as
// it is but takes the one-at-a-time path, so all three must agree to the
// bit on scenes with every kind of triangle.
struct SceneOptions {
    int width = 61, height = 47;  // odd: quads and stamps reach past the edges
    bool perspective = false;
    bool flat = false;
    float size = 0.2f;  // of a triangle, in viewport halves
    bool farTexels = false;  // some corners' texture coordinates beyond 4096
};

enum class Path { Widest, FourWide, OneAtATime };

class RasterPaths : public Device {
protected:
    std::vector<std::uint32_t> render(const SceneOptions& o, Path path) {
        softgpu::Rasterizer::forbidEightWide(path != Path::Widest);
        make(o.width, o.height);
        std::mt19937 random(7);
        std::uniform_real_distribution<float> unit(0, 1);

        // A 32 × 16 texture of noise, so any texel taken wrongly shows.
        std::shared_ptr<Surface> texture;
        EXPECT_EQ(display.createSurface({32, 16, pixel_format::kXrgb8888, SurfaceKind::Texture}, texture),
                  kOk);
        LockedSurface texels;
        EXPECT_EQ(texture->lock(texels), kOk);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) {
                const std::uint32_t c = random();
                std::memcpy(texels.pixels + y * texels.pitch + x * 4, &c, 4);
            }
        EXPECT_EQ(texture->unlock(), kOk);
        TextureHandle textureHandle = 0;
        EXPECT_EQ(device->createTexture(texture, textureHandle), kOk);

        LightHandle light = 0;
        EXPECT_EQ(device->setMaterial(material,
                                      {{0.8f, 0.7f, 0.6f, 1}, {1, 1, 1, 1}, {}, {0.05f, 0.1f, 0, 0}, 0, 0}),
                  kOk);
        EXPECT_EQ(device->setLightState(light_state::kAmbient, 0xFF404040u), kOk);
        EXPECT_EQ(device->createLight(light), kOk);
        EXPECT_EQ(device->setLight(light, {LightType::Directional, {1, 1, 1, 1}, {}, {-0.3f, -0.5f, 0.8f}}),
                  kOk);
        EXPECT_EQ(device->addLight(viewport, light), kOk);

        DeviceMatrix projection, world;
        if (o.perspective) {
            projection.m[2][2] = 1.1f;
            projection.m[2][3] = 1;
            projection.m[3][2] = -0.55f;
            projection.m[3][3] = 0;
            world.m[3][2] = 2.5f;
        }
        EXPECT_EQ(device->setTransform(transform_state::kProjection, projection), kOk);
        EXPECT_EQ(device->setTransform(transform_state::kWorld, world), kOk);
        EXPECT_EQ(device->setRenderState(rs::kCullMode, cull_mode::kNone), kOk);
        EXPECT_EQ(device->setRenderState(rs::kTextureHandle, textureHandle), kOk);
        EXPECT_EQ(device->setRenderState(rs::kTextureMag, texture_filter::kLinear), kOk);
        EXPECT_EQ(device->setRenderState(rs::kShadeMode, o.flat ? shade_mode::kFlat : shade_mode::kGouraud),
                  kOk);
        if (path == Path::OneAtATime) {
            EXPECT_EQ(device->setRenderState(rs::kAlphaBlendEnable, 1), kOk);
            EXPECT_EQ(device->setRenderState(rs::kSrcBlend, blend_factor::kOne), kOk);
            EXPECT_EQ(device->setRenderState(rs::kDestBlend, blend_factor::kZero), kOk);
        }

        // Triangles all over the view and past its edges, overlapping in
        // depth, of one size around the given one.
        std::vector<DeviceVertex> v;
        std::vector<std::uint16_t> indices;
        for (int t = 0; t < 300; ++t) {
            // In perspective, about three units away: spread three times as far.
            const float spread = o.perspective ? 3.0f : 1.0f;
            const float cx = unit(random) * 2.4f - 1.2f, cy = unit(random) * 2.4f - 1.2f,
                        cz = unit(random) * 0.9f + 0.05f;
            for (int k = 0; k < 3; ++k) {
                const float a = unit(random) * 6.3f;
                v.push_back({(cx + (unit(random) - 0.5f) * o.size * 2) * spread,
                             (cy + (unit(random) - 0.5f) * o.size * 2) * spread,
                             (cz + (unit(random) - 0.5f) * 0.1f) * (o.perspective ? 1.5f : 1.0f), std::cos(a),
                             std::sin(a), -0.5f, unit(random) * 3 - 1 + (o.farTexels && k == t % 3 ? 5000.0f : 0),
                             unit(random) * 3 - 1});
                indices.push_back(static_cast<std::uint16_t>(v.size() - 1));
            }
        }
        EXPECT_EQ(device->beginScene(), kOk);
        EXPECT_EQ(draw(v, indices), kOk);
        EXPECT_EQ(device->endScene(), kOk);
        softgpu::Rasterizer::forbidEightWide(false);

        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < o.height; ++y)
            for (int x = 0; x < o.width; ++x) pixels.push_back(pixel(x, y));
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
};

TEST_F(RasterPaths, AgreeOnSmallTriangles) {
    expectAllPathsAgree({});
}

TEST_F(RasterPaths, AgreeOnLargeTrianglesDrawnInBlocks) {
    expectAllPathsAgree({.width = 97, .height = 83, .size = 0.9f});
}

TEST_F(RasterPaths, AgreeOnPerspectiveTexturing) {
    expectAllPathsAgree({.perspective = true, .size = 0.4f});
    expectAllPathsAgree({.perspective = true, .size = 0.4f, .farTexels = true});
}

TEST_F(RasterPaths, AgreeOnFlatShading) {
    expectAllPathsAgree({.flat = true, .size = 0.3f});
}

// Triangles of a pixel or two, at every subpixel position: many cover no
// pixel centre at all, and those the batch leaves out early. One at a time
// (drawTriangle, which sets up every triangle) and in batches, eight or four
// at a time, the pictures and depths must be the same, whichever winding is
// culled.
TEST_F(RasterPaths, BatchesOfTinyTrianglesDrawAsOneAtATime) {
    constexpr int kSide = 24;
    std::mt19937 tiny(7);
    std::uniform_real_distribution<float> spot(2.0f, kSide - 2.0f), near(-1.2f, 1.2f), depth(0.0f, 1.0f);
    std::vector<softgpu::ProcessedVertex> corners(3 * 2000);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        softgpu::ProcessedVertex& v = corners[i];
        const softgpu::ProcessedVertex* first = i % 3 ? &corners[i - i % 3] : nullptr;
        v.sx = first ? first->sx + near(tiny) : spot(tiny);
        v.sy = first ? first->sy + near(tiny) : spot(tiny);
        v.sz = depth(tiny);
        v.rhw = 1;
        v.b = static_cast<float>(i % 251);
        v.g = static_cast<float>(i * 7 % 253);
        v.r = 200;
        v.clip = 0;
    }
    auto draw = [&](bool batched, std::uint32_t cull) {
        auto surface =
            softgpu::SoftwareSurface::create({kSide, kSide, PixelFormat{}, SurfaceKind::Offscreen});
        std::vector<float> depths(
            static_cast<std::size_t>(kSide) * (kSide + softgpu::SoftwareSurface::kSpareRows) +
                softgpu::SoftwareSurface::kSpareWords,
            1.0f);
        softgpu::RasterState state;
        state.target = surface.get();
        state.depth = depths.data();
        state.depthPitch = kSide;
        state.clip = {0, 0, kSide, kSide};
        state.cull = cull;
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
    for (std::uint32_t cull : {cull_mode::kNone, cull_mode::kClockwise, cull_mode::kCounterClockwise}) {
        const std::vector<std::uint32_t> reference = draw(false, cull);
        int drawn = 0;
        for (std::size_t i = 0; i < reference.size(); i += 2) drawn += reference[i] != 0;
        EXPECT_GT(drawn, kSide * kSide / 4) << "the triangles cover much of the view; cull mode " << cull;
        EXPECT_EQ(draw(true, cull), reference) << "cull mode " << cull;
        // Four at a time, as on processors without AVX2.
        softgpu::Rasterizer::forbidEightWide(true);
        EXPECT_EQ(draw(true, cull), reference) << "four at a time, cull mode " << cull;
        softgpu::Rasterizer::forbidEightWide(false);
    }
}

}  // namespace
}  // namespace tryster::platform

namespace tryster::platform {
namespace {

// A limited scene: its clears and draws change the marked blocks alone,
// and there as a whole redraw would; a draw that cannot keep the rest says
// so.
class LimitedScene : public Device {
protected:
    // A far triangle over the whole view, and a near square whose left
    // edge lies at `left` (x from -1 to 1 over 32 pixels).
    void drawScene(float left, const RedrawBlocks* limit) {
        ASSERT_EQ(device->limitRedraw(limit), kOk);
        ASSERT_EQ(device->beginScene(), kOk);
        ScreenRect all{0, 0, 32, 32};
        ASSERT_EQ(device->clear(viewport, {&all, 1}, kClearTarget | kClearZBuffer), kOk);
        colour(0x204060);
        ASSERT_EQ(draw({at(-3, -1, 0.8f), at(-1, 3, 0.8f), at(3, -1, 0.8f)}, {0, 1, 2}), kOk);
        colour(0xE0C0A0);
        ASSERT_EQ(draw({at(left, -0.5f, 0.3f), at(left, 0.5f, 0.3f), at(left + 0.5f, 0.5f, 0.3f),
                        at(left + 0.5f, -0.5f, 0.3f)},
                       {0, 1, 2, 0, 2, 3}),
                  kOk);
        ASSERT_EQ(device->endScene(), kOk);
    }
    // A fresh target with the square at `from`, then a scene limited to
    // the blocks of `marked` with it at `to`.
    void redrawWithin(const ScreenRect& marked, float from, float to) {
        make(32, 32);
        drawScene(from, nullptr);
        RedrawBlocks blocks;
        blocks.reset(32, 32);
        blocks.mark(marked);
        drawScene(to, &blocks);
    }
    std::vector<std::uint32_t> pixels() {
        std::vector<std::uint32_t> p;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) p.push_back(pixel(x, y));
        return p;
    }
};

TEST_F(LimitedScene, ChangesOnlyItsBlocksAsAWholeRedrawWould) {
    make(32, 32);
    drawScene(-0.5f, nullptr);
    drawScene(-0.25f, nullptr);
    const std::vector<std::uint32_t> whole = pixels();

    // The square moves from pixels 8..16 to 12..20 across, rows 8..24:
    // the blocks of columns 1 and 2 in rows 1 and 2 hold every change.
    redrawWithin({8, 8, 24, 24}, -0.5f, -0.25f);
    EXPECT_TRUE(device->limitHeld());
    EXPECT_EQ(pixels(), whole);

    // Marked too small on purpose, the blocks left out keep the old square
    // (the far triangle reaching into them draws nothing there).
    redrawWithin({16, 8, 24, 24}, -0.5f, -0.25f);
    EXPECT_EQ(pixel(9, 12), 0xE0C0A0u) << "the old square, kept";
    EXPECT_EQ(pixel(17, 12), 0xE0C0A0u) << "the new square, drawn";
    EXPECT_EQ(pixel(21, 12), 0x204060u) << "the far triangle where the square was not";
    // The depth of the kept blocks is back as it was: a nearer triangle
    // drawn over everything without a clear covers the far one only.
    ASSERT_EQ(device->beginScene(), kOk);
    colour(0x00FF00);
    ASSERT_EQ(draw({at(-3, -1, 0.5f), at(-1, 3, 0.5f), at(3, -1, 0.5f)}, {0, 1, 2}), kOk);
    ASSERT_EQ(device->endScene(), kOk);
    EXPECT_EQ(pixel(2, 12), 0x00FF00u);
    EXPECT_EQ(pixel(9, 12), 0xE0C0A0u);
}

TEST_F(LimitedScene, ADrawWithoutADepthTestCannotKeepTheRest) {
    redrawWithin({0, 0, 8, 8}, -0.5f, -0.5f);
    EXPECT_TRUE(device->limitHeld());
    RedrawBlocks one;
    one.reset(32, 32);
    one.mark({0, 0, 8, 8});
    ASSERT_EQ(device->setRenderState(rs::kZEnable, 0), kOk);
    drawScene(-0.5f, &one);
    EXPECT_FALSE(device->limitHeld());

    RedrawBlocks wrongSize;
    wrongSize.reset(16, 32);
    EXPECT_EQ(device->limitRedraw(&wrongSize), device_result::kInvalidParams);
}

// Rows of every length up to a few vectors, at every start within one:
// each word of the row takes the value, and none before or after it does.
TEST(FillWords, FillsTheRowAndNothingAroundIt) {
    for (int start = 0; start < 4; ++start)
        for (int count = 0; count <= 21; ++count) {
            std::vector<std::uint32_t> words(32, 7u);
            softgpu::fillWords(words.data() + start, count, 0xFF8E0000u);
            for (int i = 0; i < 32; ++i)
                EXPECT_EQ(words[static_cast<std::size_t>(i)],
                          i >= start && i < start + count ? 0xFF8E0000u : 7u)
                    << "start " << start << ", count " << count << ", word " << i;
        }
    std::vector<float> depth(9, 0.5f);
    softgpu::fillWords(depth.data() + 1, 7, 1.0f);
    EXPECT_EQ(depth, (std::vector<float>{0.5f, 1, 1, 1, 1, 1, 1, 1, 0.5f}));
}

}  // namespace
}  // namespace tryster::platform
