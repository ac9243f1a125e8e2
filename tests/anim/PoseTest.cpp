#include "CharacterScene.h"

#include "anim/ForwardKinematics.h"
#include "anim/Skinning.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tryster::anim {
namespace {

using test::makeSkeleton;
using Names = std::vector<std::string>;

const float kHalf = std::sqrt(0.5f);

void expectNear(Vector3 a, Vector3 b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// One rigid vertex on bone A at the origin, one blended vertex on bone B
// two units up, and a blend entry between them.
struct BlendScene {
    Ref<SkinMesh> mesh = SkinMesh::create();
    std::vector<std::int32_t> bones{0, 1};
    std::vector<Vector3> positions{{0, 0, 0}, {0, 2, 0}};
    std::vector<Matrix3> matrices{Matrix3{}, Matrix3{}};
    std::vector<platform::DeviceVertex> out = std::vector<platform::DeviceVertex>(2);

    explicit BlendScene(std::int32_t weight) {
        mesh->boneNames = {"A", "B"};
        mesh->texCoords = {{0, 0}};
        mesh->vertices = {{{1, 0, 0}, {0, 1, 0}}, {{0, 0, 0}, {1, 0, 0}}};
        mesh->bindings = {{0, 0, 1, 0, 0}, {1, 0, 0, 0, 1}};
        mesh->blends = {{weight, 0}};
        mesh->prepare();
    }
    SkinningJob job() {
        return {.layout = &mesh->layout(),
                .vertices = mesh->vertices,
                .bones = bones,
                .worldPositions = positions,
                .worldMatrices = matrices,
                .out = out};
    }
};

TEST(SkinningJob, AHalfWeightPutsTheVertexHalfwayWithItsNormalRenormalised) {
    BlendScene half(16384);
    ASSERT_TRUE(half.job().validate());
    half.job().run();
    const auto& v = half.out;
    expectNear({v[1].x, v[1].y, v[1].z}, {0, 2, 0});
    expectNear({v[0].x, v[0].y, v[0].z}, {0.5f, 1, 0});
    expectNear({v[0].nx, v[0].ny, v[0].nz}, {kHalf, kHalf, 0});

    BlendScene past(40000);  // past 1.0: the blended vertex is copied
    past.job().run();
    expectNear({past.out[0].x, past.out[0].y, past.out[0].z}, {0, 2, 0});
    expectNear({past.out[0].nx, past.out[0].ny, past.out[0].nz}, {1, 0, 0});
}

TEST(SkinningJob, ValidationChecksWhatTheMeshCouldNot) {
    BlendScene scene(16384);
    scene.out.resize(1);
    EXPECT_FALSE(scene.job().validate()) << "an output shorter than the vertices";
    scene.out.resize(2);
    scene.bones = {0, 2};
    EXPECT_FALSE(scene.job().validate()) << "a bone outside the pose";
    scene.bones = {0};
    EXPECT_FALSE(scene.job().validate()) << "a bone name without a bone";
}

using Skinning = test::CharacterScene;

TEST_F(Skinning, OverridesAndCensorMasksChooseWhatIsWornAndHow) {
    auto c = character(makeSkeleton("s", {{"PELVIS", ""}, {"HEAD", "PELVIS"}}));
    auto body = test::squareMesh("xskin-fit-BODY", "PELVIS", {}, 1, "body-default");
    auto head = test::squareMesh("xskin-HEAD", "HEAD", {}, 1, "head-default");
    auto outfit = test::outfitOf("o", {body, head}, {1, 2});
    auto textures = [&](WornOutfit* w) {
        Names out;
        for (const WornPart& p : w->parts()) out.push_back(p.skin->textureName());
        return out;
    };
    EXPECT_EQ(textures(c->putOn(*outfit, "BODY=skin-dark", 0, -1)), (Names{"skin-dark", "head-default"}));
    EXPECT_EQ(textures(c->putOn(*outfit, "BODY skin-dark", 0, -1)), (Names{"body-default", "head-default"}));
    EXPECT_EQ(textures(c->putOn(*outfit, "xskin-fit-BODY-longer=t", 0, -1)),
              (Names{"body-default", "head-default"}));
    EXPECT_EQ(textures(c->putOn(*outfit, {}, 0, 2)), (Names{"head-default"}));
    EXPECT_TRUE(c->putOn(*outfit, {}, 0, 0)->parts().empty());
    EXPECT_EQ(outfit->wornCount, 5);
    // Only drawn outfits join the group.
    EXPECT_EQ(c->renderGroup().children().size(), 7u);
    outfit->type = 1;
    c->putOn(*outfit, {}, 0, -1);
    EXPECT_EQ(c->renderGroup().children().size(), 7u);

    while (!c->skeleton()->wornOutfits().empty()) c->takeOff(c->skeleton()->wornOutfits().back().get(), 777);
    EXPECT_TRUE(c->renderGroup().children().empty());
    EXPECT_EQ(outfit->wornCount, 0);
    EXPECT_EQ(outfit->releaseTime, 777);
}

TEST_F(Skinning, AMeshNamingABoneTheSkeletonLacksIsNotWorn) {
    auto c = character(makeSkeleton("s", {{"PELVIS", ""}}));
    auto good = test::squareMesh("good", "PELVIS", {}, 1);
    auto bad = test::squareMesh("bad", "PELVIS", {}, 1);
    bad->boneNames.push_back("TAIL");
    bad->prepare();
    WornOutfit* w = c->putOn(*test::outfitOf("o", {good, bad}), {}, 0, -1);
    ASSERT_EQ(w->parts().size(), 1u);
    EXPECT_EQ(&w->parts()[0].skin->mesh(), good.get());
}

}  // namespace
}  // namespace tryster::anim
