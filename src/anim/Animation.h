#pragma once
// A named motion: bone tracks indexing into two frame pools (translations
// and rotations) that live in a frame file of their own and are read on
// the first playback.

#include "anim/PropertyList.h"

#include <string>
#include <vector>

namespace tryster::anim {

struct BoneTrack {
    // File fields, in file order.
    std::string boneName;
    std::int32_t frameCount = 0;
    float duration = 0;  // carried, not used for sampling
    std::int32_t hasTranslation = 0;
    std::int32_t hasRotation = 0;
    std::int32_t translationOffset = 0;  // pool index of the track's frame 0
    std::int32_t rotationOffset = 0;
    Ref<PropertyList> properties;
    Ref<TimedPropertyList> timedProperties;
};

class Animation final : public RefCounted {
public:
    static Ref<Animation> create() { return Ref<Animation>::adopt(new Animation); }

    // File fields, in file order.
    std::string name;
    std::string dataName;  // base name of the frame file
    float duration = 0;    // ms for one pass at speed 1
    float distance = 0;
    std::int32_t moving = 0;
    std::int32_t translationCount = 0;  // entries of the translation pool
    std::int32_t rotationCount = 0;
    std::vector<BoneTrack> tracks;

    // The folder list the animation's file was found on; the frame file
    // is searched along it.
    SearchPath searchPath;

    // Reads the frame file ("cfp", else "bin") named by the data name along
    // the search path. False, with the pools left empty, when there is none,
    // it is damaged or shorter than the pools. Loading once is enough.
    bool loadFrames();
    bool framesLoaded() const { return framesLoaded_; }
    const std::vector<Vector3>& translations() const { return translations_; }
    const std::vector<Quaternion>& rotations() const { return rotations_; }
    // Takes pools made elsewhere (tests, tools) as loaded frames.
    void setFrames(std::vector<Vector3> translations, std::vector<Quaternion> rotations);

    // Live playbacks, and the clock time at which the last one was stopped
    // (0 while playing, never stopped, or looked up again); the library's
    // sweep reads both.
    int livePlaybacks = 0;
    TimeMs releaseTime = 0;

private:
    Animation() = default;
    bool framesLoaded_ = false;
    std::vector<Vector3> translations_;
    std::vector<Quaternion> rotations_;
};

}  // namespace tryster::anim
