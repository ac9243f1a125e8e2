#include "AnimFixtures.h"

#include "anim/PosedSkeleton.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tryster::anim {
namespace {

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

TEST_F(Playback, BindsTracksByBoneNameAndDropsTheRest) {
    AnimationPlayback* p = start(LoopMode::Loop);
    EXPECT_EQ(p->bindings().size(), 2u);
    EXPECT_EQ(p->frameCount(), 10);
    EXPECT_EQ(animation->livePlaybacks, 1);
    EXPECT_TRUE(pose->stopPlayback(p, 5000));
    EXPECT_FALSE(pose->stopPlayback(p, 5000));
    EXPECT_EQ(animation->livePlaybacks, 0);
    EXPECT_EQ(animation->releaseTime, 5000);
}

TEST_F(Playback, HoldRestsOnTheLastFrame) {
    AnimationPlayback* p = start(LoopMode::Hold);
    stepTo(0, 500);
    EXPECT_FLOAT_EQ(p->phase(), 0.5f);
    EXPECT_FALSE(p->reachedEnd());
    EXPECT_FLOAT_EQ(armX(), 5);
    pose->animate(1100, true);
    for (TimeMs t : {1100, 1300, 5000}) {
        pose->animate(t, true);
        EXPECT_TRUE(p->reachedEnd()) << t;
        EXPECT_EQ(p->speed(), 0) << t;
        EXPECT_EQ(p->phase(), 1.0f) << t;
        EXPECT_FLOAT_EQ(armX(), 9) << t;
    }
}

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

TEST_F(Playback, PingPongTurnsAroundAtTheEnd) {
    AnimationPlayback* p = start(LoopMode::PingPong);
    pose->animate(1250, true);
    EXPECT_TRUE(p->reachedEnd());
    EXPECT_EQ(p->speed(), -1);
    EXPECT_NEAR(p->phase(), 0.75f, 1e-5f);
    pose->animate(1500, true);
    EXPECT_NEAR(p->phase(), 0.5f, 1e-5f);
    pose->animate(2100, true);  // the start is an end too when going back
    EXPECT_TRUE(p->reachedEnd());
    EXPECT_EQ(p->speed(), 1);
    EXPECT_NEAR(p->phase(), 0.1f, 1e-5f);
}

TEST_F(Playback, FadeOutFallsLinearlyOnceAndStaysAtZero) {
    AnimationPlayback* p = start(LoopMode::FadeOut);
    pose->animate(500, true);
    EXPECT_FALSE(p->fading());
    pose->animate(1000, true);
    EXPECT_TRUE(p->reachedEnd());
    EXPECT_TRUE(p->fading());
    EXPECT_FLOAT_EQ(p->weight(), 1.0f);
    // Each later update meets the end again; the fade goes on regardless.
    for (TimeMs t : {1100, 1250, 1400, 1500}) {
        pose->animate(t, true);
        EXPECT_NEAR(p->weight(), 1.0f - static_cast<float>(t - 1000) / 500.0f, 1e-6f) << t;
    }
    pose->setTranslation(arm, {42, 0, 0});
    for (TimeMs t : {1600, 3000, 10000}) {
        pose->animate(t, true);
        EXPECT_EQ(p->weight(), 0.0f) << t;
        EXPECT_EQ(armX(), 42) << t;  // a weight of 0 moves nothing
    }
}

TEST_F(Playback, UpdatesFurtherApartThanTwoFramesSnap) {
    start(LoopMode::Loop);
    pose->animate(50, true);
    EXPECT_FLOAT_EQ(armX(), 0.5f);
    pose->animate(1050, true);  // same phase a whole pass later
    EXPECT_FLOAT_EQ(armX(), 0.0f);
}

TEST_F(Playback, HalfWeightBlendsOnlyBonesThatCanBlend) {
    skeleton = Skeleton::create("s");
    for (const char* name : {"ROOT", "ARM", "LEG"}) {
        Bone b;
        b.name = name;
        b.parentName = "ROOT";
        b.canBlend = b.name == "LEG" ? 0 : 1;
        skeleton->addBone(b);
    }
    pose = std::make_unique<PosedSkeleton>(*skeleton, nullptr);
    start(LoopMode::Hold, 1, 0.5f);
    pose->animate(400, true);  // frame 4, snapped
    EXPECT_FLOAT_EQ(pose->translation(arm).x, 2);
    EXPECT_FLOAT_EQ(pose->translation(leg).x, 4);
    // Rotation: halfway (linearly) between the identity and frame 4's.
    Quaternion q = pose->rotation(arm);
    EXPECT_NEAR(2 * std::atan2(q.z, q.w), 0.2f, 1e-5f);
    EXPECT_EQ(pose->rotation(leg), aboutZ(0.4f));
}

TEST_F(Playback, ExclusivePlaybacksOwnTheirBones) {
    auto other = Animation::create();
    other->duration = 1000;
    other->tracks = {test::makeTrack("ARM", 1, 0, -1)};
    other->setFrames({{-7, 0, 0}}, {});
    AnimationPlayback* high = pose->startPlayback(*other, 5, 1, 1, 0);
    AnimationPlayback* low = start(LoopMode::Hold, 1, 1, 1);  // updated first: lower priority
    EXPECT_EQ(pose->playbacks().front().get(), low);
    pose->animate(300, true);
    EXPECT_FLOAT_EQ(armX(), -7);  // the later, higher one overwrites
    high->setExclusive(true);
    other->setFrames({{-8, 0, 0}}, {});
    pose->animate(400, true);
    EXPECT_EQ(pose->owningPriority(arm), 5);
    EXPECT_EQ(pose->owningPriority(leg), -10000);
    EXPECT_FLOAT_EQ(armX(), -8);
    EXPECT_NEAR(pose->translation(leg).x, 4, 1e-4f);
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

TEST_F(Playback, FrameStepSamplesEveryFewFrames) {
    AnimationPlayback* p = start(LoopMode::Loop);
    p->setFrameStep(1);
    pose->animate(450, true);  // two sampled frames are 400 ms: snapped, to an even frame
    EXPECT_FLOAT_EQ(armX(), 4);
    pose->animate(500, true);  // pos 5: from frame 4 towards frame 6, halfway
    EXPECT_NEAR(armX(), 5, 1e-4f);
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

TEST(RotationBlend, TheThreeKinds) {
    const Quaternion a = aboutZ(0), b = aboutZ(1.0f);
    auto angle = [](Quaternion q) { return 2 * std::atan2(q.z, q.w); };
    EXPECT_EQ(blendRotations(Interpolation::Step, a, 0.6f, b), a);
    EXPECT_EQ(blendRotations(Interpolation::Step, a, 0.5f, b), b);
    EXPECT_NEAR(angle(blendRotations(Interpolation::Linear, a, 0.5f, b)), 0.5f, 1e-6f);
    EXPECT_NEAR(angle(blendRotations(Interpolation::Spherical, a, 0.75f, b)), 0.25f, 1e-6f);
    // The shorter arc: −b is the same rotation.
    const Quaternion minusB{-b.x, -b.y, -b.z, -b.w};
    EXPECT_NEAR(std::fabs(angle(blendRotations(Interpolation::Linear, a, 0.5f, minusB))), 0.5f, 1e-5f);
    EXPECT_EQ(blendRotations(Interpolation::Spherical, a, 1.0f, b), a);
    EXPECT_EQ(blendRotations(Interpolation::Spherical, a, 0.0f, b), b);
    EXPECT_EQ(blendRotations(Interpolation::Linear, a, 0.5f, Quaternion{0, 0, 0, -1}), a);
    EXPECT_EQ(blendRotations(Interpolation::Linear, Quaternion{0, 0, 0, 0}, 0.5f, Quaternion{0, 0, 0, 0}),
              Quaternion{});
}

TEST_F(Playback, OddTimesAndDurationsStayFinite) {
    animation->duration = 0;
    AnimationPlayback* p = start(LoopMode::Loop, 3);
    pose->animate(10, true);
    EXPECT_TRUE(p->reachedEnd());
    EXPECT_TRUE(std::isfinite(p->phase()));
    pose->animate(-100000, true);  // the clock going back
    pose->animate(INT64_C(1) << 40, true);
    EXPECT_TRUE(std::isfinite(p->phase()));
    EXPECT_TRUE(std::isfinite(armX()));
}

}  // namespace
}  // namespace tryster::anim
