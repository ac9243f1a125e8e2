#include "demoworld/FigureSkeleton.h"

namespace tryster::demoworld {
namespace {

constexpr std::array<BoneInfo, kBoneCount> kBones = {{
    {"pelvis", BoneId::Pelvis},
    {"spine", BoneId::Pelvis},
    {"chest", BoneId::Spine},
    {"neck", BoneId::Chest},
    {"head", BoneId::Neck},
    {"l_clavicle", BoneId::Chest},
    {"l_upperarm", BoneId::LeftClavicle},
    {"l_forearm", BoneId::LeftUpperArm},
    {"l_hand", BoneId::LeftForearm},
    {"r_clavicle", BoneId::Chest},
    {"r_upperarm", BoneId::RightClavicle},
    {"r_forearm", BoneId::RightUpperArm},
    {"r_hand", BoneId::RightForearm},
    {"l_thigh", BoneId::Pelvis},
    {"l_calf", BoneId::LeftThigh},
    {"l_foot", BoneId::LeftCalf},
    {"l_toe", BoneId::LeftFoot},
    {"r_thigh", BoneId::Pelvis},
    {"r_calf", BoneId::RightThigh},
    {"r_foot", BoneId::RightCalf},
    {"r_toe", BoneId::RightFoot},
}};

// The name a top-level bone gives as its parent: one no bone has.
constexpr std::string_view kNoParent = "NULL";

}  // namespace

const BoneInfo& boneInfo(BoneId bone) {
    return kBones[static_cast<std::size_t>(index(bone))];
}

BoneId sided(BoneId leftBone, bool right) {
    constexpr int kSideOffset = index(BoneId::RightClavicle) - index(BoneId::LeftClavicle);
    constexpr int kLegOffset = index(BoneId::RightThigh) - index(BoneId::LeftThigh);
    if (!right) return leftBone;
    if (leftBone >= BoneId::LeftClavicle && leftBone <= BoneId::LeftHand)
        return static_cast<BoneId>(index(leftBone) + kSideOffset);
    if (leftBone >= BoneId::LeftThigh && leftBone <= BoneId::LeftToe)
        return static_cast<BoneId>(index(leftBone) + kLegOffset);
    return leftBone;
}

RestPositions restPositions(const Joints& j) {
    RestPositions p;
    auto set = [&](BoneId b, Vector3 v) { p[static_cast<std::size_t>(index(b))] = v; };
    set(BoneId::Pelvis, j.pelvis);
    set(BoneId::Spine, j.spine);
    set(BoneId::Chest, j.chest);
    set(BoneId::Neck, j.neck);
    set(BoneId::Head, j.head);
    for (bool right : {false, true}) {
        auto side = [&](Vector3 v) { return right ? v : leftOf(v); };
        set(sided(BoneId::LeftClavicle, right), side(j.clavicle));
        set(sided(BoneId::LeftUpperArm, right), side(j.shoulder));
        set(sided(BoneId::LeftForearm, right), side(j.elbow));
        set(sided(BoneId::LeftHand, right), side(j.wrist));
        set(sided(BoneId::LeftThigh, right), side(j.hip));
        set(sided(BoneId::LeftCalf, right), side(j.knee));
        set(sided(BoneId::LeftFoot, right), side(j.ankle));
        set(sided(BoneId::LeftToe, right), side(j.toe));
    }
    return p;
}

anim::Ref<anim::Skeleton> makeFigureSkeleton(std::string_view name, const Joints& joints) {
    const RestPositions at = restPositions(joints);
    auto skeleton = anim::Skeleton::create(std::string(name));
    for (int i = 0; i < kBoneCount; ++i) {
        const BoneInfo& info = kBones[static_cast<std::size_t>(i)];
        const int parent = index(info.parent);
        anim::Bone b;
        b.name = info.name;
        b.parentName = parent == i ? kNoParent : kBones[static_cast<std::size_t>(parent)].name;
        const Vector3 from = parent == i ? Vector3{} : at[static_cast<std::size_t>(parent)];
        b.translation = at[static_cast<std::size_t>(i)] - from;
        skeleton->addBone(std::move(b));
    }
    return skeleton;
}

}  // namespace tryster::demoworld
