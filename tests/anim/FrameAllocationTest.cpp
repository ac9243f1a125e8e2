// Counts heap allocations made by a character's frame once it is running:
// the per-frame path (update and skinning) must make none.

#include "CharacterScene.h"

#include "support/AllocationCounter.h"

namespace tryster::anim {
namespace {

class FrameAllocations : public test::CharacterScene, public ::testing::WithParamInterface<bool> {};

TEST_P(FrameAllocations, ARunningCharacterAllocatesNothingPerFrame) {
    render::Device3D::setIndexedPrimitivesForbidden(GetParam());
    auto c = character(test::makeSkeleton("s", {{"ROOT", ""}, {"ARM", "ROOT", {1, 0, 0}}}));
    c->putOn(*test::outfitOf(
                 "o", {test::squareMesh("body", "ROOT", {}, 1), test::squareMesh("hand", "ARM", {}, 0.5f)}),
             "body=skin", 0, -1);
    auto a = Animation::create();
    a->duration = 1000;
    a->tracks = {test::makeTrack("ARM", 4, 0, 0)};
    a->setFrames({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}},
                 {{0, 0, 0, 1}, {0, 0, 0.1f, 0.99f}, {0, 0, 0.2f, 0.98f}, {0, 0, 0.3f, 0.95f}});
    c->startPlayback(*a, 1, 1, 1, 0);
    TimeMs t = 0;
    auto frame = [&] {
        t += 16;
        c->update(Matrix4::translation({0, -1.75f, 0}), t);
        ASSERT_EQ(c->deformSkins(), render::render_error::kOk);
    };
    for (int i = 0; i < 3; ++i) frame();
    const std::uint32_t revision = c->skeleton()->poseRevision();
    test::startCountingAllocations();
    for (int i = 0; i < 100; ++i) frame();
    EXPECT_EQ(test::stopCountingAllocations().count, 0);
    EXPECT_GE(c->skeleton()->poseRevision(), revision + 90);  // it really moved
}

std::string pathName(const ::testing::TestParamInfo<bool>& param) {
    return param.param ? "ExecuteBuffers" : "IndexedPrimitives";
}
INSTANTIATE_TEST_SUITE_P(BothDevicePaths, FrameAllocations, ::testing::Values(false, true), pathName);

}  // namespace
}  // namespace tryster::anim
