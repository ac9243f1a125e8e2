#include "preview/PreviewCharacter.h"

#include "preview/PreviewSkin.h"

namespace tryster::preview {

PreviewCharacter::PreviewCharacter(CharacterLibrary& library)
    : library_(library), group_(render::KinoRenderGroup::create()) {}

PreviewCharacter::~PreviewCharacter() {
    skeleton_.reset();
    group_.reset();
}

std::unique_ptr<PreviewCharacter> PreviewCharacter::make(CharacterLibrary& library,
                                                         std::string_view skeletonName,
                                                         std::string_view outfitName,
                                                         std::string_view animationName, TimeMs nowMs) {
    std::unique_ptr<PreviewCharacter> c(new PreviewCharacter(library));
    c->name_ = std::string(skeletonName);
    if (anim::Skeleton* s = library.findSkeleton(skeletonName))
        c->skeleton_ = std::make_unique<PosedSkeleton>(*s, static_cast<anim::SkinMaker*>(c.get()));
    if (!outfitName.empty())
        if (Outfit* o = library.findOutfit(outfitName)) c->putOn(*o, {}, 0, -1);
    if (!animationName.empty())
        if (Animation* a = library.findAnimation(animationName)) c->startPlayback(*a, 1, 1.0f, 1.0f, nowMs);
    return c;
}

std::unique_ptr<anim::SkinInstance> PreviewCharacter::makeSkin(PosedSkeleton& skeleton, const Outfit& outfit,
                                                              anim::OutfitPart& part, std::string_view override) {
    if (!part.mesh) part.mesh = library_.findMesh(part.meshName, outfit.searchPath);
    if (!part.mesh) return nullptr;
    return PreviewSkin::create(skeleton, outfit, part, part.mesh, override, group_.get());
}

WornOutfit* PreviewCharacter::putOn(Outfit& outfit, std::string_view override, int passThrough,
                                    int censorMask) {
    return skeleton_ ? skeleton_->putOn(outfit, override, passThrough, censorMask) : nullptr;
}

bool PreviewCharacter::takeOff(WornOutfit* worn, TimeMs nowMs) {
    return skeleton_ && skeleton_->takeOff(worn, nowMs);
}

AnimationPlayback* PreviewCharacter::startPlayback(Animation& animation, int priority, float speed,
                                                   float weight, TimeMs startMs) {
    return skeleton_ ? skeleton_->startPlayback(animation, priority, speed, weight, startMs) : nullptr;
}

bool PreviewCharacter::stopPlayback(AnimationPlayback* playback, TimeMs nowMs) {
    return skeleton_ && skeleton_->stopPlayback(playback, nowMs);
}

void PreviewCharacter::setFacing(Quaternion orientation, Vector3 position, Vector3 scale) {
    facing_ = Matrix4::placement(math::rowRotationMatrix(orientation), scale, position);
}

void PreviewCharacter::update(const Matrix4& placement, TimeMs t, bool apply) {
    placement_ = placement;
    const Matrix4 world = facing_ * placement;
    if (skeleton_) {
        skeleton_->animate(t, apply);
        skeleton_->updateWorldPose();
        skeleton_->updateLocalBounds();
        skeleton_->updateBounds();
        group_->setBox(skeleton_->bounds());
        skeleton_->setWorldMatrix(world);
    }
    group_->setTransform(world);
    library_.sweep(t);
}

render::RenderResult PreviewCharacter::deformSkins() {
    render::RenderResult first = render::render_error::kOk;
    if (!skeleton_) return first;
    for (const auto& worn : skeleton_->wornOutfits())
        for (const anim::WornPart& part : worn->parts())
            if (part.skin->needsDeform())
                if (render::RenderResult rc = PreviewSkin::of(*part.skin).deform(); rc && !first) first = rc;
    return first;
}

render::RenderResult PreviewCharacter::draw(render::Viewport3D& viewport, TimeMs /*t*/) {
    if (render::RenderResult rc = deformSkins()) return rc;
    return viewport.draw(*group_);
}

}  // namespace tryster::preview
