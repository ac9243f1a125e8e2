#include "Scene.h"

#include "render/ExecuteBuffer.h"
#include "render/RenderObjectFactory.h"

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

}  // namespace
}  // namespace tryster::render
