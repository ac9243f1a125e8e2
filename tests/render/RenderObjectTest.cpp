#include "Pictures.h"
#include "Scene.h"
#include "support/EveryFault.h"
#include "support/TempDir.h"

#include "formats/ImageLibrary.h"
#include "render/ExecuteBuffer.h"
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
    EXPECT_TRUE(mesh->locked());
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

TEST(RenderMesh, NoMaterialNamesTakeDefault) {
    test::Scene scene(8, 8);
    auto mesh = scene.device->createRenderMesh();
    ASSERT_EQ(mesh->commit(), render::render_error::kOk);
    ASSERT_EQ(mesh->materials().size(), 1u);
    EXPECT_EQ(mesh->materials()[0]->name(), "default");
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

}  // namespace
}  // namespace tryster::render
