#pragma once
// Keeps the preview character moving: when an idle animation has ended it
// picks the next one for the current posture (arms down, hands on hips,
// arms crossed), moving between postures only through their transition
// animations, and now and then a voice line.

#include <cstdint>
#include <string>
#include <string_view>

namespace tryster::preview {

enum class IdlePosture : std::int32_t { ArmsDown = 0, HandsOnHips = 1, ArmsCrossed = 2 };

// The generator the choices draw from (platform::nextRandom in the
// program): values 0..0x7FFF.
using RandomSource = int (*)();

class IdleDirector {
public:
    IdlePosture posture() const { return posture_; }
    void setPosture(IdlePosture posture) { posture_ = posture; }

    // The next idle animation's name; a transition also changes the
    // posture. Draws one number.
    std::string nextAnimation(RandomSource random);

    // The WAVE resource to play with this idle, or empty (nine times in
    // ten). Draws one number, and a second when it speaks.
    static std::string_view voiceLine(bool female, RandomSource random);

private:
    IdlePosture posture_ = IdlePosture::ArmsDown;
};

}  // namespace tryster::preview
