#include "anim/AnimationPlayback.h"

#include "anim/PosedSkeleton.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tryster::anim {
namespace {

constexpr float kEpsilon = 1e-6f;
// Hold rests on the end with a duration so long that time no longer moves it.
constexpr float kHeldDurationMs = 1e8f;

struct EventHook {
    AnimationEventHook hook = nullptr;
    void* argument = nullptr;
};
EventHook& eventHook() {
    static EventHook h;
    return h;
}

// Float to int without undefined behaviour: NaN gives 0, values outside
// the int range give its ends.
int clampToInt(double value) {
    if (!(value == value)) return 0;
    return static_cast<int>(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

void setAnimationEventHook(AnimationEventHook hook, void* argument) {
    eventHook() = {hook, argument};
}

AnimationPlayback::AnimationPlayback(PosedSkeleton& skeleton, Animation& animation, int priority, float speed,
                                     float weight, TimeMs startMs)
    : skeleton_(skeleton),
      animation_(Ref<Animation>::retain(&animation)),
      priority_(priority),
      time_(startMs),
      previousTime_(startMs),
      scaledDurationMs_(std::fabs(speed) > kEpsilon ? animation.duration / std::fabs(speed) : 0.0f),
      speed_(speed),
      weight_(weight) {
    const std::vector<BoneTrack>& tracks = animation.tracks;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        BoneIndex bone = skeleton.findBone(tracks[i].boneName);
        if (bone != kNoBone) bindings_.push_back({bone, static_cast<std::uint32_t>(i), 0});
    }
    frameCount_ = tracks.empty() ? 0 : tracks.front().frameCount;
    ++animation.livePlaybacks;
    animation.releaseTime = 0;
}

AnimationPlayback::~AnimationPlayback() {
    --animation_->livePlaybacks;
}

void AnimationPlayback::stepPhase(float dt) {
    if (!(std::fabs(speed_) > kEpsilon)) return;
    float inc = dt / scaledDurationMs_;
    if (speed_ < 0) inc = -inc;
    if (scaledDurationMs_ > 0 && std::isfinite(inc)) phase_ += inc;
    // A pass of no length (or one too short for floats) goes straight to
    // its end.
    if (!(scaledDurationMs_ > 0 && std::isfinite(inc) && std::isfinite(phase_)) && dt != 0)
        phase_ = speed_ < 0 ? 0.0f : 1.0f;
}

void AnimationPlayback::reachEnd(TimeMs t) {
    reachedEnd_ = true;
    switch (loopMode_) {
        case LoopMode::Hold:
            speed_ = 0;
            scaledDurationMs_ = kHeldDurationMs;
            phase_ = std::clamp(phase_, 0.0f, 1.0f);
            break;
        case LoopMode::Loop:
            if (phase_ < 0 || phase_ > 1) phase_ -= std::floor(phase_);
            break;
        case LoopMode::PingPong:
            speed_ = -speed_;
            if (phase_ < 0 || phase_ > 1) phase_ = 1 - (phase_ - std::floor(phase_));
            break;
        case LoopMode::FadeOut:
            // The phase rests on the end, so the end is met again at every
            // later update: the fade starts only the first time.
            if (!fading_) {
                fadeStart_ = t;
                fading_ = true;
                fadeFrom_ = weight_;
                fadeTo_ = 0;
            }
            speed_ = 0;
            scaledDurationMs_ = 0;
            phase_ = std::clamp(phase_, 0.0f, 1.0f);
            break;
    }
}

void AnimationPlayback::fade(TimeMs t) {
    const double elapsed = static_cast<double>(t - fadeStart_);
    if (elapsed <= fadeDurationMs_) {
        double f = fadeDurationMs_ > 0 ? std::clamp(elapsed / fadeDurationMs_, 0.0, 1.0) : 1.0;
        weight_ = fadeFrom_ + (fadeTo_ - fadeFrom_) * static_cast<float>(f);
    } else {
        fading_ = false;
        weight_ = fadeTo_;
    }
}

void AnimationPlayback::fireEvents(Binding& binding, const BoneTrack& track, bool forward) {
    const auto& entries = track.timedProperties->entries();
    const auto n = static_cast<std::int64_t>(entries.size());
    const EventHook hook = eventHook();
    auto fire = [&](std::int64_t i) {
        const PropertyList& properties = *entries[static_cast<std::size_t>(i)].properties;
        if (hook.hook && !properties.empty())
            hook.hook(hook.argument, *this, binding.bone, track, properties, phase_);
    };
    // n (forward) or −1 (backward) when all have fired.
    std::int64_t cursor = binding.eventCursor;
    if (forward) {
        cursor = std::clamp<std::int64_t>(cursor, 0, n);
        if (eventTime_ < previousEventTime_) {
            for (; cursor < n; ++cursor) fire(cursor);
            cursor = 0;
        }
        for (; cursor < n && entries[static_cast<std::size_t>(cursor)].timeMs <= eventTime_; ++cursor)
            fire(cursor);
    } else {
        cursor = std::clamp<std::int64_t>(cursor, -1, n - 1);
        if (eventTime_ > previousEventTime_) {
            for (; cursor >= 0; --cursor) fire(cursor);
            cursor = n - 1;
        }
        for (; cursor >= 0 && entries[static_cast<std::size_t>(cursor)].timeMs >= eventTime_; --cursor)
            fire(cursor);
    }
    binding.eventCursor = static_cast<std::int32_t>(cursor);
}

void AnimationPlayback::sample(const Binding& binding, const BoneTrack& track, bool interpolate, int f0,
                               int f1, float tau) {
    const bool replace = weight_ >= 1 || skeleton_.canBlend(binding.bone) == 0;
    // A frame outside its pool is never read (missing frame data leaves
    // the pools empty).
    auto inPool = [](std::int64_t offset, int f, std::size_t size) {
        std::int64_t i = offset + f;
        return i >= 0 && static_cast<std::uint64_t>(i) < size;
    };
    if (track.hasTranslation) {
        const std::vector<Vector3>& pool = animation_->translations();
        if (inPool(track.translationOffset, f0, pool.size()) &&
            inPool(track.translationOffset, f1, pool.size())) {
            Vector3 s = pool[static_cast<std::size_t>(track.translationOffset + f0)];
            if (interpolate)
                s = s * (1 - tau) + pool[static_cast<std::size_t>(track.translationOffset + f1)] * tau;
            Vector3 current = skeleton_.translation(binding.bone);
            skeleton_.setTranslation(binding.bone, replace ? s : current * (1 - weight_) + s * weight_);
        }
    }
    if (track.hasRotation) {
        const std::vector<Quaternion>& pool = animation_->rotations();
        if (inPool(track.rotationOffset, f0, pool.size()) && inPool(track.rotationOffset, f1, pool.size())) {
            Quaternion s = pool[static_cast<std::size_t>(track.rotationOffset + f0)];
            if (interpolate)
                s = blendRotations(interpolation_, s, 1 - tau,
                                   pool[static_cast<std::size_t>(track.rotationOffset + f1)]);
            Quaternion current = skeleton_.rotation(binding.bone);
            skeleton_.setRotation(binding.bone,
                                  replace ? s : blendRotations(interpolation_, s, weight_, current));
        }
    }
}

void AnimationPlayback::update(TimeMs t, bool apply) {
    previousTime_ = time_;
    const auto dt = static_cast<float>(t - previousTime_);
    time_ = t;
    if (bindings_.empty() || frameCount_ <= 0) return;

    stepPhase(dt);
    if (std::fabs(dt) > kEpsilon) {
        const bool atEnd = speed_ >= 0 ? phase_ >= 1.0f : phase_ <= 0.0f;
        if (atEnd)
            reachEnd(t);
        else
            reachedEnd_ = false;
    }
    if (fading_) fade(t);
    eventTime_ = clampToInt(std::trunc(static_cast<double>(animation_->duration) * phase_));

    if (weight_ > 0) {
        // Frame choice; a frame step s samples every (s+1)-th frame.
        const std::int64_t step = std::max(frameStep_, 0);
        const float pos = static_cast<float>(frameCount_) * phase_;
        std::int64_t f0 = clampToInt(std::floor(pos));
        std::int64_t n = frameCount_;
        if (step > 0) {
            f0 = f0 / (step + 1) * (step + 1);
            n = (frameCount_ + step) / (step + 1);
        }
        f0 = std::clamp<std::int64_t>(f0, 0, frameCount_ - 1);
        std::int64_t f1 = f0;
        float tau = 0;
        // Updates further apart than two frames snap to a frame.
        const bool interpolate = dt < 2 * scaledDurationMs_ / static_cast<float>(n);
        if (interpolate) {
            f1 = f0 + step + 1;
            if (f1 >= frameCount_) f1 = loopMode_ == LoopMode::Loop ? 0 : f0;
            const std::int64_t span = step == 0 ? 1 : (f1 > f0 ? f1 - f0 : frameCount_ - f0);
            tau = std::clamp((pos - static_cast<float>(f0)) / static_cast<float>(span), 0.0f, 1.0f);
        }
        const bool forward = speed_ >= 0;
        for (Binding& b : bindings_) {
            if (skeleton_.owningPriority(b.bone) > priority_) continue;
            const BoneTrack& track = animation_->tracks[b.track];
            if (track.timedProperties && !track.timedProperties->empty()) fireEvents(b, track, forward);
            if (apply) sample(b, track, interpolate, static_cast<int>(f0), static_cast<int>(f1), tau);
        }
    }
    previousEventTime_ = eventTime_;
}

}  // namespace tryster::anim
