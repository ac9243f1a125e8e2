#include "anim/SkinInstance.h"

#include "anim/PosedSkeleton.h"
#include "anim/Skinning.h"
#include "render/Device3D.h"

namespace tryster::anim {
namespace {

SkinInstanceHooks& hooks() {
    static SkinInstanceHooks h;
    return h;
}

}  // namespace

void installSkinInstanceHooks(const SkinInstanceHooks& h) {
    hooks() = h;
}

const SkinInstanceHooks& skinInstanceHooks() {
    return hooks();
}

std::string_view chooseTexture(std::string_view override, std::string_view partMeshName,
                               std::string_view meshTexture) {
    std::size_t equals = override.find('=');
    if (equals == std::string_view::npos) return meshTexture;
    if (partMeshName.find(override.substr(0, equals)) == std::string_view::npos) return meshTexture;
    return override.substr(equals + 1);
}

std::unique_ptr<SkinInstance> SkinInstance::create(PosedSkeleton& skeleton, const Outfit& outfit,
                                                   const OutfitPart& part, Ref<SkinMesh> mesh,
                                                   std::string_view override, render::RenderGroup* group) {
    render::Device3D* device = render::Device3D::current();
    if (!mesh || !device || !mesh->layout().drawable) return nullptr;
    std::unique_ptr<SkinInstance> skin(new SkinInstance(skeleton, mesh));
    for (const std::string& name : mesh->boneNames) {
        BoneIndex b = skeleton.findBone(name);
        if (b == kNoBone) return nullptr;
        skin->bones_.push_back(b);
    }
    skin->texture_ = std::string(chooseTexture(override, part.meshName, mesh->textureName));

    const SkinLayout& layout = mesh->layout();
    Ref<render::RenderMesh> r = device->createRenderMesh();
    r->lock() = {skin->texture_};
    r->setVertexCount(mesh->vertices.size());
    auto vertices = r->vertices();
    for (std::size_t i = 0; i < mesh->vertices.size(); ++i) {
        const SkinVertex& v = mesh->vertices[i];
        const TexCoord t = i < layout.rigidCount ? mesh->texCoords[i] : TexCoord{};
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

    skin->drawn_ = outfit.type == Outfit::kDrawnType;
    if (group && skin->drawn_) {
        group->addChild(*skin->render_);
        skin->group_ = group;
    }
    return skin;
}

SkinInstance::~SkinInstance() {
    if (group_) (void)group_->removeChild(*render_);  // a destructor has no one to tell
}

bool SkinInstance::needsDeform() const {
    if (!deformed_) return true;
    for (BoneIndex b : bones_)
        if (skeleton_.boneRevision(b) > deformedRevision_) return true;
    return false;
}

void SkinInstance::setMeshBox(const Box& box) { render_->setBox(box); }

render::RenderResult SkinInstance::deform() {
    const SkinLayout& layout = mesh_->layout();
    if (drawn_) render_->lock();
    const SkinningJob job{.layout = &layout,
                          .vertices = mesh_->vertices,
                          .bones = bones_,
                          .worldPositions = skeleton_.worldPositions(),
                          .worldMatrices = skeleton_.worldMatrices(),
                          .out = render_->vertices()};
    job.run();
    if (layout.rigidCount > 0) render_->markChanged(0, layout.rigidCount - 1);
    render_->setBox(box_);
    deformed_ = true;
    deformedRevision_ = skeleton_.poseRevision();
    return drawn_ ? render_->commit() : render::render_error::kOk;
}

}  // namespace tryster::anim
