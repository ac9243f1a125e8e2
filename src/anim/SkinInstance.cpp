#include "anim/SkinInstance.h"

#include "anim/PosedSkeleton.h"

namespace tryster::anim {

std::string_view chooseTexture(std::string_view override, std::string_view partMeshName,
                               std::string_view meshTexture) {
    std::size_t equals = override.find('=');
    if (equals == std::string_view::npos) return meshTexture;
    if (partMeshName.find(override.substr(0, equals)) == std::string_view::npos) return meshTexture;
    return override.substr(equals + 1);
}

SkinInstance::SkinInstance(PosedSkeleton& skeleton, const Outfit& outfit, const OutfitPart& part,
                           Ref<SkinMesh> mesh, std::string_view override)
    : skeleton_(skeleton), mesh_(std::move(mesh)) {
    for (const std::string& name : mesh_->boneNames) {
        BoneIndex b = skeleton.findBone(name);
        if (b == kNoBone) {
            bound_ = false;
            return;
        }
        bones_.push_back(b);
    }
    texture_ = std::string(chooseTexture(override, part.meshName, mesh_->textureName));
    drawn_ = outfit.type == Outfit::kDrawnType;
}

bool SkinInstance::needsDeform() const {
    if (!deformed_) return true;
    for (BoneIndex b : bones_)
        if (skeleton_.boneRevision(b) > deformedRevision_) return true;
    return false;
}

void SkinInstance::markDeformed() {
    deformed_ = true;
    deformedRevision_ = skeleton_.poseRevision();
}

}  // namespace tryster::anim
