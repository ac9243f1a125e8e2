#pragma once
// A worn skin as the preview draws it: the render mesh that receives the
// deformed vertices. deform() runs the SkinningJob straight into the
// render mesh's vertices.
//
// The render mesh holds one vertex per mesh vertex: the rigid ones
// (0..R−1, drawn) and after them the blended ones, which only serve as
// the targets of the blend entries.

#include "anim/SkinInstance.h"
#include "render/RenderGroup.h"
#include "render/RenderMesh.h"

#include <memory>
#include <string_view>

namespace tryster::preview {

class PreviewSkin final : public anim::SkinInstance {
public:
    // Makes the skin and its render mesh (on the current device). A drawn
    // outfit's mesh joins `group`. Null when the mesh names a bone the
    // skeleton lacks, has too many vertices, or no device is current.
    static std::unique_ptr<PreviewSkin> create(anim::PosedSkeleton& skeleton, const anim::Outfit& outfit,
                                               const anim::OutfitPart& part, anim::Ref<anim::SkinMesh> mesh,
                                               std::string_view override, render::RenderGroup* group);
    // The skins the preview wears are all its own.
    static const PreviewSkin& of(const anim::SkinInstance& skin) { return static_cast<const PreviewSkin&>(skin); }
    static PreviewSkin& of(anim::SkinInstance& skin) { return static_cast<PreviewSkin&>(skin); }
    // Leaves the render group.
    ~PreviewSkin() override;

    render::RenderMesh& renderMesh() const { return *render_; }

    // Writes every bound vertex, blends, and hands the render mesh its
    // changed range and box (locked and committed for a drawn outfit).
    render::RenderResult deform();
    void setMeshBox(const anim::Box& box) override;

private:
    using SkinInstance::SkinInstance;

    render::Ref<render::RenderMesh> render_;
    render::RenderGroup* group_ = nullptr;  // the group it joined, if any
};

}  // namespace tryster::preview
