#include "preview/PreviewSkin.h"

#include "anim/PosedSkeleton.h"
#include "anim/Skinning.h"
#include "render/Device3D.h"

#include <algorithm>

namespace tryster::preview {

std::unique_ptr<PreviewSkin> PreviewSkin::create(anim::PosedSkeleton& skeleton, const anim::Outfit& outfit,
                                                 const anim::OutfitPart& part, anim::Ref<anim::SkinMesh> mesh,
                                                 std::string_view override, render::RenderGroup* group) {
    render::Device3D* device = render::Device3D::current();
    if (!mesh || !device || !mesh->layout().drawable) return nullptr;
    std::unique_ptr<PreviewSkin> skin(new PreviewSkin(skeleton, outfit, part, mesh, override));
    if (!skin->bound()) return nullptr;

    const anim::SkinLayout& layout = mesh->layout();
    render::Ref<render::RenderMesh> r = device->createRenderMesh();
    r->lock() = {skin->textureName()};
    r->setVertexCount(mesh->vertices.size());
    auto vertices = r->vertices();
    for (std::size_t i = 0; i < mesh->vertices.size(); ++i) {
        const anim::SkinVertex& v = mesh->vertices[i];
        const anim::TexCoord t = i < layout.rigidCount ? mesh->texCoords[i] : anim::TexCoord{};
        vertices[i] = {v.position.x, v.position.y, v.position.z, v.normal.x,
                       v.normal.y,   v.normal.z,   t.u,          t.v};
    }
    r->setIndexCount(layout.indices.size());
    std::copy(layout.indices.begin(), layout.indices.end(), r->indices().begin());
    if (layout.rigidCount > 0)
        r->setDrawnRange(0, layout.rigidCount - 1);
    else
        r->setDrawnRange(1, 0);
    (void)r->commit();  // a failure keeps the mesh undrawn until the next commit
    skin->render_ = std::move(r);

    if (group && skin->drawn()) {
        group->addChild(*skin->render_);
        skin->group_ = group;
    }
    return skin;
}

PreviewSkin::~PreviewSkin() {
    if (group_) (void)group_->removeChild(*render_);  // a destructor has no one to tell
}

void PreviewSkin::setMeshBox(const anim::Box& box) { render_->setBox(box); }

render::RenderResult PreviewSkin::deform() {
    const anim::SkinLayout& layout = mesh().layout();
    if (drawn()) render_->lock();
    const anim::SkinningJob job{.layout = &layout,
                                .vertices = mesh().vertices,
                                .bones = bones(),
                                .worldPositions = skeleton().worldPositions(),
                                .worldMatrices = skeleton().worldMatrices(),
                                .out = render_->vertices()};
    job.run();
    if (layout.rigidCount > 0) render_->markChanged(0, layout.rigidCount - 1);
    render_->setBox(box());
    markDeformed();
    return drawn() ? render_->commit() : render::render_error::kOk;
}

}  // namespace tryster::preview
