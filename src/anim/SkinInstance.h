#pragma once
// A skin mesh worn on a posed skeleton: the bone for each of the mesh's
// bone names, and the render mesh that receives the deformed vertices.
// This is the one place where skinning meets the engine: deform() runs the
// SkinningJob straight into the render mesh's vertices.
//
// The render mesh holds one vertex per mesh vertex: the rigid ones
// (0..R−1, drawn) and after them the blended ones, which only serve as
// the targets of the blend entries.

#include "anim/Outfit.h"
#include "anim/Skeleton.h"
#include "anim/SkinMesh.h"
#include "render/RenderGroup.h"
#include "render/RenderMesh.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::anim {

class PosedSkeleton;

class SkinInstance {
public:
    // Makes the instance and its render mesh (on the current device) with
    // the texture chosen by `override` ("KEY=texture", applying to meshes
    // whose part's mesh name contains KEY) or the mesh's own. A drawn
    // outfit's mesh joins `group`. Null when the mesh names a bone the
    // skeleton lacks, has too many vertices, or no device is current.
    static std::unique_ptr<SkinInstance> create(PosedSkeleton& skeleton, const Outfit& outfit,
                                                const OutfitPart& part, Ref<SkinMesh> mesh,
                                                std::string_view override, render::RenderGroup* group);
    // Leaves the render group.
    ~SkinInstance();
    SkinInstance(const SkinInstance&) = delete;
    SkinInstance& operator=(const SkinInstance&) = delete;

    const SkinMesh& mesh() const { return *mesh_; }
    render::RenderMesh& renderMesh() const { return *render_; }
    const std::string& textureName() const { return texture_; }
    // The skeleton bone of each of the mesh's bone names.
    const std::vector<BoneIndex>& bones() const { return bones_; }
    // Meshes of a drawn outfit (type 0) are locked and committed around
    // each deformation; the others are only written.
    bool drawn() const { return drawn_; }

    // True until deformed at the current pose of its bones.
    bool needsDeform() const;
    // Writes every bound vertex, blends, and hands the render mesh its
    // changed range and box (locked and committed for a drawn outfit).
    render::RenderResult deform();

    // The box of its bones' boxes, worked out with the bounds.
    Box& box() { return box_; }
    // The box the render mesh is culled by.
    void setMeshBox(const Box& box);

private:
    SkinInstance(PosedSkeleton& skeleton, Ref<SkinMesh> mesh) : skeleton_(skeleton), mesh_(std::move(mesh)) {}

    PosedSkeleton& skeleton_;
    Ref<SkinMesh> mesh_;
    std::vector<BoneIndex> bones_;
    Ref<render::RenderMesh> render_;
    render::RenderGroup* group_ = nullptr;  // the group it joined, if any
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

// What putting on and taking off a part calls. The character library
// installs its own when it is made (create finds the part's mesh on the
// outfit's search path first).
struct SkinInstanceHooks {
    std::unique_ptr<SkinInstance> (*create)(PosedSkeleton& skeleton, const Outfit& outfit, OutfitPart& part,
                                            std::string_view override) = nullptr;
    void (*release)(std::unique_ptr<SkinInstance> instance) = nullptr;
};
void installSkinInstanceHooks(const SkinInstanceHooks& hooks);
const SkinInstanceHooks& skinInstanceHooks();

}  // namespace tryster::anim
