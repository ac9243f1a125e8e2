#pragma once
// A drawable character: a posed skeleton with its outfits and playbacks,
// and the render group its drawn meshes sit in.
//
// Each frame: update (pose, bounds, placement, cache sweep), then draw
// (deform the skins, draw the group).

#include "anim/CharacterLibrary.h"
#include "anim/PosedSkeleton.h"
#include "anim/SkinInstance.h"
#include "render/RenderGroup.h"
#include "render/Viewport3D.h"

#include <memory>
#include <string>
#include <string_view>

namespace tryster::preview {

using anim::Animation;
using anim::AnimationPlayback;
using anim::CharacterLibrary;
using anim::Matrix4;
using anim::Outfit;
using anim::PosedSkeleton;
using anim::Quaternion;
using anim::TimeMs;
using anim::Vector3;
using anim::WornOutfit;

class PreviewCharacter final : private anim::SkinMaker {
public:
    // Copies the named skeleton (none when the library lacks it); puts on
    // the named outfit for every part with its meshes' own textures;
    // starts the named animation (priority 1, speed 1, weight 1) at `nowMs`.
    static std::unique_ptr<PreviewCharacter> make(CharacterLibrary& library, std::string_view skeletonName,
                                                  std::string_view outfitName, std::string_view animationName,
                                                  TimeMs nowMs);
    // Its skeleton's skins go before the group they sit in.
    ~PreviewCharacter();
    PreviewCharacter(const PreviewCharacter&) = delete;
    PreviewCharacter& operator=(const PreviewCharacter&) = delete;

    // Null when the skeleton was not found.
    PosedSkeleton* skeleton() const { return skeleton_.get(); }
    render::KinoRenderGroup& renderGroup() const { return *group_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // Forwarded to the posed skeleton; null or false without one.
    WornOutfit* putOn(Outfit& outfit, std::string_view override, int passThrough, int censorMask);
    bool takeOff(WornOutfit* worn, TimeMs nowMs);
    AnimationPlayback* startPlayback(Animation& animation, int priority, float speed, float weight,
                                     TimeMs startMs);
    bool stopPlayback(AnimationPlayback* playback, TimeMs nowMs);

    // The facing: scale, then the orientation, then the position; applied
    // before the placement given to update.
    void setFacing(Quaternion orientation, Vector3 position, Vector3 scale);
    const Matrix4& facing() const { return facing_; }

    // world = facing × placement; animates to `t` (writing the pose when
    // `apply`), recomputes what changed, hands the group its box and
    // matrix, and lets the library sweep its cache.
    void update(const Matrix4& placement, TimeMs t, bool apply = true);
    const Matrix4& placement() const { return placement_; }

    // Deforms the skins whose bones moved (draw does it first): the first
    // commit failure of a drawn skin, else 0.
    render::RenderResult deformSkins();
    render::RenderResult draw(render::Viewport3D& viewport, TimeMs t);

private:
    explicit PreviewCharacter(CharacterLibrary& library);
    // A part's mesh is looked up along the outfit's search path the first
    // time it is worn.
    std::unique_ptr<anim::SkinInstance> makeSkin(PosedSkeleton& skeleton, const Outfit& outfit,
                                                 anim::OutfitPart& part, std::string_view override) override;

    CharacterLibrary& library_;
    std::unique_ptr<PosedSkeleton> skeleton_;
    render::Ref<render::KinoRenderGroup> group_;
    std::string name_;
    Matrix4 placement_;
    Matrix4 facing_;
};

}  // namespace tryster::preview
