#pragma once
// A character's own copy of a skeleton, with its pose, its playing
// animations and its worn outfits.
//
// The pose lives in flat arrays indexed like the skeleton's bone list, in
// which every parent comes before its children, so forward kinematics is
// one loop. Revisions decide what is recomputed: a bone whose local pose
// changed (and everything below it) gets a new pose revision; skins
// deform again only when one of their bones moved; bounds follow the pose
// revision and the outfit set. Nothing on the per-frame path allocates.

#include "anim/AnimationPlayback.h"
#include "anim/Outfit.h"
#include "anim/Skeleton.h"
#include "anim/WornOutfit.h"

#include <cassert>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tryster::anim {

class SkinMaker;

class PosedSkeleton {
public:
    // Copies `skeleton`; the pose starts as the file values. Parts put on
    // get their skins from `skins` (none without one).
    PosedSkeleton(const Skeleton& skeleton, SkinMaker* skins);
    // Takes every outfit off and stops every playback.
    ~PosedSkeleton();
    PosedSkeleton(const PosedSkeleton&) = delete;
    PosedSkeleton& operator=(const PosedSkeleton&) = delete;

    const Skeleton& skeleton() const { return *skeleton_; }
    const std::string& name() const { return skeleton_->name(); }
    std::size_t boneCount() const { return parent_.size(); }
    BoneIndex findBone(std::string_view name) const { return skeleton_->findBone(name); }

    // The current local pose; setting a different value marks the bone
    // (and its subtree) for forward kinematics.
    Vector3 translation(BoneIndex b) const { return translation_[index(b)]; }
    Quaternion rotation(BoneIndex b) const { return rotation_[index(b)]; }
    void setTranslation(BoneIndex b, Vector3 t);
    void setRotation(BoneIndex b, Quaternion q);
    std::int32_t canBlend(BoneIndex b) const { return canBlend_[index(b)]; }
    int owningPriority(BoneIndex b) const { return owningPriority_[index(b)]; }

    // The world pose after updateWorldPose().
    Vector3 worldPosition(BoneIndex b) const { return worldPosition_[index(b)]; }
    Quaternion worldRotation(BoneIndex b) const { return worldRotation_[index(b)]; }
    // Row-vector form: v·M equals the world rotation turning v.
    const Matrix3& worldMatrix(BoneIndex b) const { return worldMatrix_[index(b)]; }
    // The whole world pose, per bone, for the skinning loop.
    std::span<const Vector3> worldPositions() const { return worldPosition_; }
    std::span<const Matrix3> worldMatrices() const { return worldMatrix_; }
    // The pose revision at which the bone's world pose last changed.
    std::uint32_t boneRevision(BoneIndex b) const { return boneRevision_[index(b)]; }
    std::uint32_t poseRevision() const { return poseRevision_; }

    // Playbacks, ordered by priority (equal priorities in start order).
    // Starting loads the animation's frames when needed.
    AnimationPlayback* startPlayback(Animation& animation, int priority, float speed, float weight,
                                     TimeMs startMs);
    // False when the playback is not this skeleton's. The animation's
    // release time becomes `nowMs` when its last playback stops.
    bool stopPlayback(AnimationPlayback* playback, TimeMs nowMs);
    const std::vector<std::unique_ptr<AnimationPlayback>>& playbacks() const { return playbacks_; }
    // Updates every playback to `t`. Does nothing when the time is that of
    // the last update, the order has not changed and `force` is off.
    void animate(TimeMs t, bool apply, bool force = false);

    // Dresses the parts whose censor flags share a bit with the mask (all
    // for −1) and whose bone exists, through the skin maker.
    // `override` is "KEY=texture" or empty; `passThrough` has no effect.
    WornOutfit* putOn(Outfit& outfit, std::string_view override, int passThrough, int censorMask);
    // False when the outfit is not worn here. The outfit's release time
    // becomes `nowMs` when its last worn instance goes.
    bool takeOff(WornOutfit* worn, TimeMs nowMs);
    const std::vector<std::unique_ptr<WornOutfit>>& wornOutfits() const { return worn_; }

    // The per-frame steps, each doing nothing without a change: forward
    // kinematics (LocalToWorldJob), the bones' local boxes and the
    // character's bounds. The skins are deformed by the character that draws
    // them (the preview's character), where they meet the engine.
    void updateWorldPose();
    void updateLocalBounds();
    void updateBounds();

    // The character's box in its own space; degenerate at the origin
    // without anything worn.
    const Box& bounds() const { return bounds_; }
    const Matrix4& worldMatrix() const { return world_; }
    void setWorldMatrix(const Matrix4& world) { world_ = world; }

private:
    // Bone indices come from the skeleton's own lookups and from skins
    // checked against it when they were made, never from a file as read.
    std::size_t index(BoneIndex b) const {
        assert(b >= 0 && static_cast<std::size_t>(b) < parent_.size());
        return static_cast<std::size_t>(b);
    }
    void resortPlaybacks();

    Ref<Skeleton> skeleton_;
    SkinMaker* skins_;

    // Per bone, in bone-list order.
    std::vector<BoneIndex> parent_;
    std::vector<std::int32_t> canBlend_;
    std::vector<Vector3> translation_;
    std::vector<Quaternion> rotation_;
    std::vector<std::uint8_t> localChanged_;
    std::vector<int> owningPriority_;
    std::vector<Vector3> worldPosition_;
    std::vector<Quaternion> worldRotation_;
    std::vector<Matrix3> worldMatrix_;
    std::vector<std::uint32_t> boneRevision_;
    std::vector<Box> localBox_;

    std::vector<std::unique_ptr<AnimationPlayback>> playbacks_;
    bool orderChanged_ = false;
    TimeMs lastAnimateMs_ = 0;
    bool poseChanged_ = true;

    std::vector<std::unique_ptr<WornOutfit>> worn_;
    bool outfitSetChanged_ = true;

    std::uint32_t poseRevision_ = 0;
    std::uint32_t boundsRevision_ = 0;
    bool boundsValid_ = false;
    Box bounds_{{0, 0, 0}, {0, 0, 0}};
    Matrix4 world_;
};

}  // namespace tryster::anim
