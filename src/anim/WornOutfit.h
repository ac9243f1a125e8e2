#pragma once
// An outfit as worn by one posed skeleton: the parts that were taken, each
// with its bone and its skin instance.

#include "anim/Outfit.h"
#include "anim/Skeleton.h"

#include <memory>
#include <vector>

namespace tryster::anim {

class PosedSkeleton;
class SkinInstance;

struct WornPart {
    BoneIndex bone = kNoBone;
    const OutfitPart* part = nullptr;  // within the outfit, which the worn outfit keeps alive
    std::unique_ptr<SkinInstance> skin;
};

class WornOutfit {
public:
    WornOutfit(PosedSkeleton& skeleton, Outfit& outfit);
    ~WornOutfit();
    WornOutfit(const WornOutfit&) = delete;
    WornOutfit& operator=(const WornOutfit&) = delete;

    PosedSkeleton& skeleton() const { return skeleton_; }
    Outfit& outfit() const { return *outfit_; }
    std::vector<WornPart>& parts() { return parts_; }
    const std::vector<WornPart>& parts() const { return parts_; }

private:
    PosedSkeleton& skeleton_;
    Ref<Outfit> outfit_;
    std::vector<WornPart> parts_;
};

}  // namespace tryster::anim
