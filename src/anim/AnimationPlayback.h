#pragma once
// One animation playing on a posed skeleton: turns clock times into bone
// translations and rotations, with looping, fading, frame interpolation,
// weighted blending and timed events.

#include "anim/Animation.h"
#include "anim/RotationBlend.h"
#include "anim/Skeleton.h"

#include <vector>

namespace tryster::anim {

class PosedSkeleton;

enum class LoopMode : std::int32_t { Hold = 0, Loop = 1, PingPong = 2, FadeOut = 3 };

// Called for each timed entry that a playback passes whose property list
// is not empty. One process-wide hook; the argument is the installer's.
using AnimationEventHook = void (*)(void* argument, const class AnimationPlayback& playback, BoneIndex bone,
                                    const BoneTrack& track, const PropertyList& properties, float phase);
void setAnimationEventHook(AnimationEventHook hook, void* argument);

class AnimationPlayback {
public:
    // Binds each track to the skeleton's bone of the same name (tracks
    // without a bone are dropped). `startMs` is the clock at the start.
    AnimationPlayback(PosedSkeleton& skeleton, Animation& animation, int priority, float speed, float weight,
                      TimeMs startMs);
    ~AnimationPlayback();
    AnimationPlayback(const AnimationPlayback&) = delete;
    AnimationPlayback& operator=(const AnimationPlayback&) = delete;

    // Advances to the clock time `t`; with `apply`, writes the sampled
    // frame into the bones.
    void update(TimeMs t, bool apply);

    Animation& animation() const { return *animation_; }
    int priority() const { return priority_; }
    float speed() const { return speed_; }
    float weight() const { return weight_; }
    float phase() const { return phase_; }  // 0..1 over one pass
    bool reachedEnd() const { return reachedEnd_; }
    LoopMode loopMode() const { return loopMode_; }
    void setLoopMode(LoopMode mode) { loopMode_ = mode; }
    bool exclusive() const { return exclusive_; }
    // Takes effect at the next update of the skeleton.
    void setFrameStep(int step) { frameStep_ = step; }
    int frameCount() const { return frameCount_; }
    TimeMs timeMs() const { return time_; }

    struct Binding {
        BoneIndex bone;
        std::uint32_t track;
        std::int32_t eventCursor;  // next timed entry to fire
    };
    const std::vector<Binding>& bindings() const { return bindings_; }

private:
    void stepPhase(float dt);
    void reachEnd(TimeMs t);
    void fade(TimeMs t);
    void fireEvents(Binding& binding, const BoneTrack& track, bool forward);
    void sample(const Binding& binding, const BoneTrack& track, bool interpolate, int f0, int f1, float tau);

    PosedSkeleton& skeleton_;
    Ref<Animation> animation_;
    std::vector<Binding> bindings_;
    int priority_;
    TimeMs time_, previousTime_;
    float scaledDurationMs_;
    float speed_;
    float phase_ = 0;
    float weight_;
    int eventTime_ = 0, previousEventTime_ = 0;
    int frameCount_ = 0;
    bool reachedEnd_ = false;
    LoopMode loopMode_ = LoopMode::Loop;
    bool fading_ = false;
    TimeMs fadeStart_ = 0;
    int fadeDurationMs_ = 500;
    float fadeFrom_ = 1.0f, fadeTo_ = 0.0f;
    bool exclusive_ = false;
    Interpolation interpolation_ = Interpolation::Linear;
    int frameStep_ = 0;
};

}  // namespace tryster::anim
