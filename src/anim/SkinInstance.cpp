#include "anim/SkinInstance.h"

#include "anim/PosedSkeleton.h"
#include "render/Device3D.h"

namespace tryster::anim {
namespace {

SkinInstanceHooks& hooks() {
    static SkinInstanceHooks h;
    return h;
}

// Position and normal of a render vertex (its texture coordinates stay).
void set(render::RenderVertex& o, Vector3 position, Vector3 normal) {
    o.x = position.x;
    o.y = position.y;
    o.z = position.z;
    o.nx = normal.x;
    o.ny = normal.y;
    o.nz = normal.z;
}

// Transforms vertices [first, first + count) by the bone (v·R + p, n·R)
// into the render vertices of the same index.
void transformRange(const SkinVertex* in, render::RenderVertex* out, std::uint32_t first, std::uint32_t count,
                    const Matrix3& r, Vector3 p) {
    for (std::uint32_t i = first, end = first + count; i < end; ++i)
        set(out[i], r.apply(in[i].position) + p, r.apply(in[i].normal));
}

// Moves rigid vertex r towards blended vertex b by w / 32768; the normal
// is normalised again.
void blend(render::RenderVertex& r, const render::RenderVertex& b, std::int32_t weight) {
    const Vector3 bp{b.x, b.y, b.z}, bn{b.nx, b.ny, b.nz};
    if (weight >= kFullBlendWeight) {
        set(r, bp, bn);
        return;
    }
    const auto w = static_cast<float>(weight);
    const float keep = static_cast<float>(kFullBlendWeight) - w;
    constexpr float kScale = 1.0f / static_cast<float>(kFullBlendWeight);
    const Vector3 rp{r.x, r.y, r.z}, rn{r.nx, r.ny, r.nz};
    set(r, (rp * keep + bp * w) * kScale, math::normalised((rn * keep + bn * w) * kScale));
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

render::RenderResult SkinInstance::deform() {
    const SkinLayout& layout = mesh_->layout();
    if (drawn_) render_->lock();
    std::span<render::RenderVertex> out = render_->vertices();
    const SkinVertex* in = mesh_->vertices.data();
    for (const SkinLayout::Range& range : layout.bindings) {
        const BoneIndex b = bones_[range.boneName];
        const Matrix3& r = skeleton_.worldMatrix(b);
        const Vector3 p = skeleton_.worldPosition(b);
        transformRange(in, out.data(), range.rigidFirst, range.rigidCount, r, p);
        transformRange(in, out.data(), range.blendedFirst, range.blendedCount, r, p);
    }
    for (const SkinLayout::Blend& e : layout.blends) blend(out[e.rigid], out[e.blended], e.weight);
    if (layout.rigidCount > 0) render_->markChanged(0, layout.rigidCount - 1);
    render_->setBox(box_);
    deformed_ = true;
    deformedRevision_ = skeleton_.poseRevision();
    return drawn_ ? render_->commit() : render::render_error::kOk;
}

}  // namespace tryster::anim
