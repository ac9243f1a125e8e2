#pragma once
// The demo figure's animations: the greeting, the idles of the three
// postures (arms down, hands on hips, arms crossed), the transitions
// between them, and the child's farewell. Each is sampled into frames and
// stored as the files keep them: one rotation track per bone (the inverse
// of the bone's turn), a translation track only where the body moves.

#include "demoworld/Poses.h"

#include "anim/Animation.h"
#include "anim/FrameFile.h"

#include <string>
#include <vector>

namespace tryster::demoworld {

// Where an animation's record and frames are kept.
enum class MotionFile {
    Idles,        // GameData\cmx\idles.cmx, read at start-up
    HandsOnHips,  // GameData\Animation\handships.bcf, behind the index
    ArmsCrossed,  // GameData\Animation\armscrossed.bcf, behind the index
    Kids,         // GameData\Animation\kids.bcf, behind the index
};

struct Motion {
    MotionFile file;
    anim::Ref<anim::Animation> record;  // its data name names the frame file
    anim::FramePools frames;
    bool rawFrames = false;  // "bin" rather than "cfp"
};

// The sound the fidget plays as the foot first taps, as a path below the
// game folder.
inline constexpr const char* kTapSoundPath = "GameData\\Sounds\\tap.wav";

// Every animation, in a fixed order.
std::vector<Motion> makeMotions();

inline constexpr float kFramesPerSecond = 30;

}  // namespace tryster::demoworld
