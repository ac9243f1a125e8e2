#include "Scene.h"
#include "support/EveryFault.h"
#include "support/TempDir.h"

#include "formats/ImageFiles.h"
#include "formats/ImageLibrary.h"
#include "render/ExecuteBuffer.h"
#include "render/RenderDIPMesh.h"
#include "render/RenderObjectFactory.h"
#include "render/Snapshot.h"
#include "softgpu/SoftwareSurface.h"

#include <gtest/gtest.h>

namespace tryster::render {
namespace {

TEST(RenderGroup, AddingHoldsAReferenceAndExtendsTheBoxByTheChildsMatrix) {
    test::Scene scene(8, 8);
    auto group = RenderGroup::create();
    auto mesh = scene.device->createRenderMesh();
    Box box;
    box.extend({-1, -1, -1});
    box.extend({1, 1, 1});
    mesh->setBox(box);
    mesh->setTransform(Matrix4::translation({10, 0, 0}));
    group->setChanged(true);
    group->addChild(*mesh);
    EXPECT_EQ(mesh->refCount(), 2);
    EXPECT_FALSE(group->changed());
    EXPECT_FALSE(mesh->transformChanged());
    EXPECT_EQ(group->bounds().min, (Vector3{9, -1, -1}));
    EXPECT_EQ(group->bounds().max, (Vector3{11, 1, 1}));

    auto stranger = scene.device->createRenderMesh();
    EXPECT_EQ(group->removeChild(*stranger).code(), 0x9B0B001Fu);
    EXPECT_EQ(group->children().size(), 1u);
    EXPECT_EQ(group->removeChild(*mesh), render::render_error::kOk);
    EXPECT_EQ(mesh->refCount(), 1);
    EXPECT_EQ(group->removeChild(*mesh).code(), 0x9B0B001Fu);
}

TEST(RenderMesh, CommitRecordsTheInstructionsInOrder) {
    test::Scene scene(8, 8);
    Device3D::setIndexedPrimitivesForbidden(true);
    auto mesh = RenderMesh::create(*scene.device);
    mesh->lock();
    mesh->materialNames() = {"red", "blue"};
    mesh->setVertexCount(6);
    mesh->setIndexCount(6);
    const std::uint16_t idx[] = {0, 1, 2, 3, 4, 5};
    std::copy(std::begin(idx), std::end(idx), mesh->indices().begin());
    mesh->setMaterialGroups({{0, 3}, {3, 3}});
    ASSERT_EQ(mesh->commit(), render::render_error::kOk);
    EXPECT_FALSE(mesh->locked());
    using I = D3DInstruction;
    std::vector<I::Op> ops;
    for (const I& i : mesh->executeBuffer().instructions()) ops.push_back(i.op);
    EXPECT_EQ(ops,
              (std::vector<I::Op>{I::OpSetStatus, I::OpStateLight, I::OpProcessVertices, I::OpStateRender,
                                  I::OpTriangleList, I::OpStateLight, I::OpProcessVertices, I::OpStateRender,
                                  I::OpTriangleList, I::OpExit}));
    EXPECT_EQ(mesh->materials()[0]->name(), "red");
    EXPECT_EQ(mesh->materials()[1]->name(), "blue");
}

TEST(RenderMesh, NoMaterialNamesTakeDefaultAndSurfacesStayEvenWide) {
    test::Scene scene(8, 8);
    auto mesh = scene.device->createRenderMesh();
    ASSERT_EQ(mesh->commit(), render::render_error::kOk);
    ASSERT_EQ(mesh->materials().size(), 1u);
    EXPECT_EQ(mesh->materials()[0]->name(), "default");
    EXPECT_EQ(scene.anim.resizeSurfaces(11, 7), render::render_error::kOk);
    EXPECT_EQ(scene.anim.width(), 10) << "surfaces are an even number of pixels wide";
}

TEST(AnimDeviceSetup, NoDisplayLibraryMeansNoDevice) {
    platform::installDisplaySystemFactory([] { return std::unique_ptr<platform::DisplaySystem>(); });
    AnimDevice anim;
    test::RecordingWindow window;
    EXPECT_EQ(anim.initialise(&window, false, false, 64, 48, 32, 1, 0).code(), 0x9B0B0001u);
    platform::installDisplaySystemFactory({});
}

std::shared_ptr<softgpu::SoftwareSurface> surface(int w, int h, const platform::PixelFormat& f) {
    return softgpu::SoftwareSurface::create({w, h, f, platform::SurfaceKind::Offscreen});
}

class Snapshots : public ::testing::Test {
protected:
    formats::ImageLibrarySession images;
    test::TempDir dir;
};

TEST_F(Snapshots, WritesTheRectangleAsAJpeg) {
    auto s = surface(334, 400, platform::pixel_format::kRgb565);
    ASSERT_EQ(s->fill({0, 0, 334, 400}, 0xFF8040), platform::device_result::kOk);
    ASSERT_TRUE(writeSnapshot(dir.file("Bobhead.jpg"), s.get(), {145, 146, 190, 191}));
    ASSERT_TRUE(writeSnapshot(dir.file("Bobbody.jpg"), s.get(), {120, 146, 220, 366}));
    EXPECT_EQ(test::jpegSize(dir.read("Bobhead.jpg")), (std::pair{45, 45}));
    EXPECT_EQ(test::jpegSize(dir.read("Bobbody.jpg")), (std::pair{100, 220}));
    ASSERT_TRUE(writeSnapshot(dir.file("whole.jpg"), s.get(), {-1, 0, 0, 0}));
    EXPECT_EQ(test::jpegSize(dir.read("whole.jpg")), (std::pair{334, 400}));
    // The surface is unlocked again.
    platform::LockedSurface l;
    EXPECT_EQ(s->lock(l), platform::device_result::kOk);
    EXPECT_EQ(s->unlock(), platform::device_result::kOk);
}

TEST_F(Snapshots, WritesNothingForBadRectanglesDepthsOrAMissingLibrary) {
    auto s = surface(100, 100, platform::pixel_format::kXrgb8888);
    EXPECT_FALSE(writeSnapshot(dir.file("a.jpg"), s.get(), {0, 0, 101, 50}));
    EXPECT_FALSE(writeSnapshot(dir.file("b.jpg"), s.get(), {60, 0, 160, 50}));  // fits in size, not in place
    EXPECT_FALSE(writeSnapshot(dir.file("c.jpg"), s.get(), {0, 90, 10, 91 + 20}));
    EXPECT_FALSE(writeSnapshot(dir.file("d.jpg"), nullptr, {0, 0, 10, 10}));
    EXPECT_FALSE(writeSnapshot("", s.get(), {0, 0, 10, 10}));
    auto eight = surface(10, 10, platform::pixel_format::kPalette8);
    EXPECT_FALSE(writeSnapshot(dir.file("e.jpg"), eight.get(), {0, 0, 10, 10}));
    {  // whichever write fails, the failure is reported and nothing half-written stays
        test::FaultyFileSystem faulty;
        faulty.once = true;
        test::ScopedFileSystem installed(faulty);
        test::forEveryFault(
            faulty, [] {},
            [&](std::uint64_t n) {
                EXPECT_EQ(writeSnapshot(dir.file("g.jpg"), s.get(), {0, 0, 10, 10}), n == 0);
                EXPECT_EQ(std::filesystem::remove(dir.file("g.jpg")), n == 0);
            });
    }
    formats::ImageLibrary::instance().restore();
    EXPECT_FALSE(writeSnapshot(dir.file("f.jpg"), s.get(), {0, 0, 10, 10}));
    EXPECT_FALSE(writeSnapshot(dir.file("no-folder/h.jpg"), s.get(), {0, 0, 10, 10}));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg"})
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
}

using test::Scene;

constexpr std::uint32_t kBackground = 0x8D0000;  // 0.5546875 × 255 = 141

// A square of side 2·half in the plane z = 0 facing the camera (normal -z).
void fillQuad(RenderMesh& mesh, float half, std::string_view texture) {
    mesh.lock();
    mesh.setTextureName(texture);
    mesh.setVertexCount(4);
    auto v = mesh.vertices();
    v[0] = {-half, half, 0, 0, 0, -1, 0, 0};
    v[1] = {half, half, 0, 0, 0, -1, 1, 0};
    v[2] = {half, -half, 0, 0, 0, -1, 1, 1};
    v[3] = {-half, -half, 0, 0, 0, -1, 0, 1};
    mesh.setIndexCount(6);
    const std::uint16_t idx[] = {0, 1, 2, 0, 2, 3};
    std::copy(std::begin(idx), std::end(idx), mesh.indices().begin());
    Box box;
    box.extend({-half, -half, 0});
    box.extend({half, half, 0});
    mesh.setBox(box);
}

class TexturedScene : public ::testing::Test {
protected:
    TexturedScene() {
        auto bmp = test::bmp24(16, 16, test::checker(16, 16, 4, 0xF0C0A0, 0x4060C0));
        dir.write("Textures/skin.bmp", std::string(bmp.begin(), bmp.end()));
    }
    std::string textures() const { return dir.file("Textures"); }
    test::TempDir dir;
};

std::vector<std::uint32_t> drawSphere(Scene& scene, Ref<RenderMesh> mesh) {
    test::fillSphere(*mesh, 12, 16, 3.0f);
    mesh->setTextureName("skin");
    EXPECT_EQ(mesh->commit(), render::render_error::kOk);
    auto group = KinoRenderGroup::create();
    group->setBox(mesh->bounds());
    group->addChild(*mesh);
    EXPECT_EQ(scene.frame(*group), render::render_error::kOk);
    return scene.pixels();
}

TEST_F(TexturedScene, BothDevicePathsDrawTheSamePicture) {
    // The execute buffer from the start (the scene's lights too): no state is left from the other path.
    Device3D::setIndexedPrimitivesForbidden(true);
    Scene scene(64, 64, textures());
    auto executed = drawSphere(scene, RenderMesh::create(*scene.device));
    // A mesh made for indexed primitives falls back to the execute buffer.
    scene.viewport->invalidate();
    auto fallback = drawSphere(scene, RenderDIPMesh::create(*scene.device));
    EXPECT_EQ(executed, fallback);

    Device3D::setIndexedPrimitivesForbidden(false);
    ASSERT_TRUE(scene.device->usesIndexedPrimitives());
    scene.viewport->invalidate();
    auto indexed = drawSphere(scene, RenderDIPMesh::create(*scene.device));
    EXPECT_EQ(indexed, executed);

    EXPECT_EQ(scene.pixel(0, 0), kBackground);
    EXPECT_NE(scene.pixel(32, 32), kBackground);
    test::expectPicture("lit-textured-sphere", indexed, 64, 64);
}

// A texture that is missing or cannot be read gives the Flesh material.
TEST_F(TexturedScene, MissingOrDamagedTexturesDrawInFleshColours) {
    dir.write("Textures/broken.bmp", "BM\x10\x00");
    Scene scene(32, 32, textures());
    for (const char* texture : {"no-such-texture", "broken"}) {
        auto mesh = scene.device->createRenderMesh();
        fillQuad(*mesh, 2, texture);
        ASSERT_EQ(mesh->commit(), render::render_error::kOk);
        ASSERT_EQ(mesh->materials().size(), 1u);
        EXPECT_EQ(mesh->materials()[0]->name(), "Flesh");
        ASSERT_EQ(scene.frame(*mesh), render::render_error::kOk);
        // Facing the camera, the two lights graze it: ambient 178/255 × Flesh.
        std::uint32_t c = scene.pixel(16, 16);
        EXPECT_LE(test::channelDifference(c, 0xAB8076), 1) << std::hex << c;
    }
    EXPECT_EQ(scene.anim.textures().size(), 0u);
}

class Probe final : public ConcreteRenderObject {
public:
    RenderResult draw(Viewport3D&, ClipMode mode) override {
        modes.push_back(mode);
        return render_error::kOk;
    }
    Box bounds() const override { return {}; }
    std::vector<ClipMode> modes;
};

class Culling : public ::testing::Test {
protected:
    // A group holding a probe and a sphere of radius 1, placed at `at`.
    void drawAt(Vector3 at) {
        group = RenderGroup::create();
        sphere = scene.device->createRenderMesh();
        test::fillSphere(*sphere, 8, 8, 1.0f);
        sphere->setTextureName("white");
        ASSERT_EQ(sphere->commit(), render::render_error::kOk);
        probe = Ref<Probe>::adopt(new Probe);
        group->addChild(*probe);
        group->addChild(*sphere);
        group->setTransform(Matrix4::translation(at));
        ASSERT_EQ(scene.frame(*group), render::render_error::kOk);
    }
    Scene scene{48, 48};
    Ref<RenderGroup> group;
    Ref<RenderMesh> sphere;
    Ref<Probe> probe;
};

TEST_F(Culling, AGroupEntirelyOutsideDrawsNothingAndLeavesNoDirtyRect) {
    drawAt({40, 0, 0});
    EXPECT_TRUE(probe->modes.empty());
    EXPECT_TRUE(group->screenExtent().empty());
    EXPECT_TRUE(scene.viewport->dirtyRects().empty());
    for (std::uint32_t p : scene.pixels()) ASSERT_EQ(p & 0xFFFFFF, kBackground);
}

TEST_F(Culling, AGroupAcrossTheBackClipIsDrawnClipped) {
    drawAt({0, 0, 90.5f});  // its centre just beyond the back clip, 100 from the camera
    EXPECT_EQ(probe->modes, std::vector<ClipMode>{ClipMode::Partial});
}

TEST_F(Culling, AGroupInsideDrawsUnclippedAndTheNextClearTouchesOnlyItsRectangle) {
    drawAt({0, 0, 0});
    ASSERT_EQ(probe->modes.size(), 1u);
    EXPECT_EQ(probe->modes[0], ClipMode::Inside);
    const ScreenExtent drawn = group->screenExtent();
    ASSERT_EQ(scene.viewport->dirtyRects().size(), 1u);
    EXPECT_EQ(scene.viewport->dirtyRects()[0], drawn.rect());
    const std::uint32_t facing = scene.pixel((drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2);
    EXPECT_EQ(facing, (facing & 0xFF) * 0x010101u) << std::hex << facing << ": white lit by white is grey";
    // A mark outside what was drawn survives the clear; the sphere does not.
    auto* back = scene.anim.backSurface()->get();
    ASSERT_EQ(back->fill({0, 0, 1, 1}, 0x00FF00), platform::device_result::kOk);
    ASSERT_EQ(scene.viewport->clear(), render::render_error::kOk);
    EXPECT_EQ(scene.pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(scene.pixel((drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2), kBackground);
    EXPECT_TRUE(scene.viewport->dirtyRects().empty());
}

}  // namespace
}  // namespace tryster::render
