#pragma once
// The two skeletons of the demo figure, "adult" and "child": the same 21
// bones under the same names (so every outfit and animation fits both),
// placed after the figure's joints. Every bone rests unturned, so a bone's
// frame is the model frame moved to its joint.

#include "demoworld/FigureMeasures.h"

#include "anim/Skeleton.h"

#include <array>
#include <string_view>

namespace tryster::demoworld {

enum class BoneId : int {
    Pelvis,
    Spine,
    Chest,
    Neck,
    Head,
    LeftClavicle,
    LeftUpperArm,
    LeftForearm,
    LeftHand,
    RightClavicle,
    RightUpperArm,
    RightForearm,
    RightHand,
    LeftThigh,
    LeftCalf,
    LeftFoot,
    LeftToe,
    RightThigh,
    RightCalf,
    RightFoot,
    RightToe,
};
inline constexpr int kBoneCount = 21;

struct BoneInfo {
    std::string_view name;
    BoneId parent;  // the pelvis names itself: it has none
};

const BoneInfo& boneInfo(BoneId bone);

// Where each bone's joint sits at rest, in model space.
using RestPositions = std::array<Vector3, kBoneCount>;
RestPositions restPositions(const Joints& joints);

// The bone of the given side: `right` picks the right-side twin of a left
// bone and the other way round (unpaired bones are their own twin).
BoneId sided(BoneId leftBone, bool right);

// A skeleton named `name` with every bone in parent-first order.
anim::Ref<anim::Skeleton> makeFigureSkeleton(std::string_view name, const Joints& joints);

constexpr int index(BoneId b) {
    return static_cast<int>(b);
}

}  // namespace tryster::demoworld
