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

}  // namespace
}  // namespace tryster::anim
