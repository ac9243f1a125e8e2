#pragma once
// A skin mesh worn on a posed skeleton: the bone for each of the mesh's
// bone names, the texture it shows, and its box. What draws it (the
// preview's skin, which owns the engine's mesh) derives from this and
// deforms the vertices; the pose and the bounds only need what is here.

#include "anim/Outfit.h"
#include "anim/Skeleton.h"
#include "anim/SkinMesh.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::anim {

class PosedSkeleton;

class SkinInstance {
public:
    virtual ~SkinInstance() = default;
    SkinInstance(const SkinInstance&) = delete;
    SkinInstance& operator=(const SkinInstance&) = delete;

    const SkinMesh& mesh() const { return *mesh_; }
    const std::string& textureName() const { return texture_; }
    // The skeleton bone of each of the mesh's bone names.
    const std::vector<BoneIndex>& bones() const { return bones_; }
    // Meshes of a drawn outfit (type 0) are locked and committed around
    // each deformation; the others are only written.
    bool drawn() const { return drawn_; }

    // True until deformed at the current pose of its bones.
    bool needsDeform() const;

    // The box of its bones' boxes, worked out with the bounds.
    Box& box() { return box_; }
    // The box the drawn mesh is culled by.
    virtual void setMeshBox(const Box& /*box*/) {}

protected:
    // Binds the mesh's bone names to the skeleton's bones and picks the
    // texture `override` chooses (see chooseTexture); bound() is false
    // when the mesh names a bone the skeleton lacks.
    SkinInstance(PosedSkeleton& skeleton, const Outfit& outfit, const OutfitPart& part, Ref<SkinMesh> mesh,
                 std::string_view override);
    bool bound() const { return bound_; }
    PosedSkeleton& skeleton() const { return skeleton_; }
    // The pose the vertices were last written at.
    void markDeformed();

private:
    PosedSkeleton& skeleton_;
    Ref<SkinMesh> mesh_;
    std::vector<BoneIndex> bones_;
    bool bound_ = true;
    bool drawn_ = false;
    std::string texture_;
    Box box_;
    bool deformed_ = false;
    std::uint32_t deformedRevision_ = 0;
};

// The texture a part shows: the override's texture when its key (the text
// before the first '=') occurs in the part's mesh name, else the mesh's.
std::string_view chooseTexture(std::string_view override, std::string_view partMeshName,
                               std::string_view meshTexture);

// What putting on a part calls to make its skin: whoever draws the
// skeleton. Null (nothing is worn) when the part cannot be shown.
class SkinMaker {
public:
    virtual std::unique_ptr<SkinInstance> makeSkin(PosedSkeleton& skeleton, const Outfit& outfit,
                                                   OutfitPart& part, std::string_view override) = 0;

protected:
    ~SkinMaker() = default;
};

}  // namespace tryster::anim
