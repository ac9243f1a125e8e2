#include "CharacterScene.h"

#include "anim/ForwardKinematics.h"
#include "anim/PosedSkeleton.h"
#include "anim/Skinning.h"
#include "math/Box.h"
#include "math/Matrix4.h"

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

Quaternion aboutZ(float radians) {
    return {0, 0, std::sin(radians / 2), std::cos(radians / 2)};
}

// A 1 s animation of 10 frames moving ARM along x (frame f at x = f) and
// turning it about z; LEG shares the frames.
class Playback : public ::testing::Test {
protected:
    Playback() {
        skeleton = test::makeSkeleton("s", {{"ROOT", ""}, {"ARM", "ROOT"}, {"LEG", "ROOT"}});
        animation = Animation::create();
        animation->name = "wave";
        animation->duration = 1000;
        animation->tracks = {test::makeTrack("ARM", 10, 0, 0), test::makeTrack("LEG", 10, 0, 0),
                             test::makeTrack("NOSE", 10, 0, 0)};
        std::vector<Vector3> t;
        std::vector<Quaternion> r;
        for (int f = 0; f < 10; ++f) {
            t.push_back({static_cast<float>(f), 0, 0});
            r.push_back(aboutZ(0.1f * static_cast<float>(f)));
        }
        animation->setFrames(t, r);
        pose = std::make_unique<PosedSkeleton>(*skeleton, nullptr);
    }

    AnimationPlayback* start(LoopMode mode, float speed = 1, float weight = 1, int priority = 1) {
        AnimationPlayback* p = pose->startPlayback(*animation, priority, speed, weight, 0);
        p->setLoopMode(mode);
        return p;
    }
    float armX() const { return pose->translation(arm).x; }
    // Updates in steps of 100 ms (close enough to interpolate) up to `t`.
    void stepTo(TimeMs from, TimeMs t) {
        for (TimeMs s = from + 100; s < t; s += 100) pose->animate(s, true);
        pose->animate(t, true);
    }

    Ref<Skeleton> skeleton;
    Ref<Animation> animation;
    std::unique_ptr<PosedSkeleton> pose;
    const BoneIndex arm = 1, leg = 2;
};

TEST_F(Playback, LoopWrapsThePhaseAndTheNextFrame) {
    AnimationPlayback* p = start(LoopMode::Loop);
    stepTo(0, 900);
    pose->animate(950, true);
    EXPECT_FALSE(p->reachedEnd());
    EXPECT_NEAR(armX(), 4.5f, 1e-4f);  // halfway from frame 9 back to frame 0
    pose->animate(1250, true);
    EXPECT_TRUE(p->reachedEnd());
    EXPECT_NEAR(p->phase(), 0.25f, 1e-5f);
    EXPECT_FLOAT_EQ(armX(), 2);  // 300 ms apart: snapped to frame 2
    pose->animate(1300, true);
    EXPECT_FALSE(p->reachedEnd());
}

TEST_F(Playback, HalfWeightBlendsOnlyBonesThatCanBlend) {
    skeleton = Skeleton::create("s");
    for (const char* name : {"ROOT", "ARM", "LEG"}) {
        Bone b;
        b.name = name;
        b.parentName = "ROOT";
        b.canBlend = b.name == "LEG" ? 0 : 1;
        b.translation = {2, 0, 0};
        skeleton->addBone(b);
    }
    pose = std::make_unique<PosedSkeleton>(*skeleton, nullptr);
    start(LoopMode::Hold, 1, 0.5f);
    pose->animate(400, true);  // frame 4, snapped
    EXPECT_FLOAT_EQ(pose->translation(arm).x, 3);  // halfway from where it stood
    EXPECT_FLOAT_EQ(pose->translation(leg).x, 4);
    // Rotation: halfway (linearly) between the identity and frame 4's.
    Quaternion q = pose->rotation(arm);
    EXPECT_NEAR(2 * std::atan2(q.z, q.w), 0.2f, 1e-5f);
    EXPECT_EQ(pose->rotation(leg), aboutZ(0.4f));
}

TEST_F(Playback, FramesOutsideThePoolsAreNeverRead) {
    animation->tracks[0].translationOffset = 8;  // frames 2.. fall past the pool
    animation->tracks[0].rotationOffset = -3;
    start(LoopMode::Loop);
    pose->animate(50, true);
    EXPECT_FLOAT_EQ(armX(), 8.5f);
    EXPECT_EQ(pose->rotation(arm), Quaternion{});
    pose->animate(500, true);
    EXPECT_FLOAT_EQ(armX(), 8.5f);

    auto empty = Animation::create();  // frames that could not be loaded
    empty->duration = 1000;
    empty->tracks = {test::makeTrack("LEG", 10, 0, 0)};
    pose->startPlayback(*empty, 9, 1, 1, 500);
    pose->animate(600, true);
    EXPECT_NEAR(pose->translation(leg).x, 6, 1e-4f);
}

TEST_F(Playback, TimedEntriesFireOnceAsThePhasePassesThem) {
    auto timed = TimedPropertyList::create();
    for (int t : {0, 300, 600}) {
        auto props = PropertyList::create();
        props->set("sound", "s" + std::to_string(t));
        timed->set(t, props);
    }
    timed->set(900, PropertyList::create());  // empty lists fire nothing
    animation->tracks[0].timedProperties = timed;
    std::vector<std::string> fired;
    setAnimationEventHook(
        [](void* arg, const AnimationPlayback&, BoneIndex bone, const BoneTrack&, const PropertyList& p,
           float) {
            auto* out = static_cast<std::vector<std::string>*>(arg);
            out->push_back(*p.find("sound") + "@" + std::to_string(bone));
        },
        &fired);
    start(LoopMode::Loop);
    pose->animate(250, true);
    EXPECT_EQ(fired, (std::vector<std::string>{"s0@1"}));
    pose->animate(700, true);
    pose->animate(1200, true);  // wrapped: the rest of the pass, then the new one
    EXPECT_EQ(fired, (std::vector<std::string>{"s0@1", "s300@1", "s600@1", "s0@1"}));
    setAnimationEventHook(nullptr, nullptr);
}

// The matrices behind posing, placing and bounds, against what they stand for.
TEST(MathTypes, MatricesAgreeWithTheRotationsAndPointsTheyStandFor) {
    const Vector3 v{0.3f, -1.2f, 2.5f}, scale{2, 0.5f, 3}, moved{1, 2, 3};
    for (math::Quaternion q : {math::Quaternion{0.1f, 0.7f, -0.3f, 0.64f}, math::Quaternion{-0.5f, 0.2f, 0.6f, 0.59f}}) {
        const float n = std::sqrt(math::dot(q, q));
        q = {q.x / n, q.y / n, q.z / n, q.w / n};
        expectNear(math::rowRotationMatrix(q).apply(v), math::rotate(q, v));
        const math::Matrix4 placed = math::Matrix4::placement(math::rowRotationMatrix(q), scale, moved);
        expectNear(placed.transformPoint(v), math::rotate(q, {v.x * 2, v.y * 0.5f, v.z * 3}) + moved);
        const math::Matrix4 turned = math::Matrix4::rotationY(0.4f) * math::Matrix4::rotationX(-0.7f);
        expectNear((placed * turned).transformPoint(v), turned.transformPoint(placed.transformPoint(v)));
    }
    expectNear(math::Matrix3{}.apply(v), v);
    EXPECT_EQ(math::rowRotationMatrix({0, 0, 0, 1}), math::Matrix3{});
    EXPECT_FALSE(math::Matrix4::translation(moved) == math::Matrix4::identity());
    EXPECT_EQ(math::Matrix4::identity() * math::Matrix4::translation(moved), math::Matrix4::translation(moved));
    math::Matrix4 skew = math::Matrix4::translation(moved);
    for (int row = 0; row < 3; ++row) std::fill(skew.m[row], skew.m[row] + 3, 1.0f);
    EXPECT_EQ((math::Box{{0, 0, 0}, {1, 1, 1}}.transformed(skew)), (math::Box{{1, 2, 3}, {4, 5, 6}}));
}

}  // namespace
}  // namespace tryster::anim
