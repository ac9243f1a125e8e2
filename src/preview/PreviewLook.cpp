// The look on the preview: refilling the appearance lists, and dressing
// and undressing the preview character.

#include "preview/Preview.h"

#include "character/HandDerivation.h"
#include "platform/FileSystem.h"

namespace tryster::preview {
namespace {

std::string overrideFor(bool wanted, std::string_view key, const std::string& texture) {
    return wanted ? std::string(key) + texture : std::string();
}

}  // namespace

void Preview::refillCatalog(bool meshes, bool textures) {
    if (!library_) return;
    // The refill then finds less.
    if (!installFolder_.empty()) (void)platform::fileSystem().setCurrentDirectory(installFolder_);
    suspended_ = true;
    const CatalogFilter filter = inputs_.filter();
    const anim::TimeMs now = clock_.nowMs();

    // A new skeleton needs a new character. Its playback goes with it, so
    // the handle is forgotten here too.
    if (character_ && character_->name() != skeletonName_) {
        takeOffAppearance(true);
        character_.reset();
    }
    if (!character_) character_ = anim::PreviewCharacter::make(*library_, skeletonName_, {}, {}, now);

    if (meshes) catalog_.refillMeshes(library_->outfits(), filter);
    SkinCatalog::selectCurrent(catalog_.headMeshes, look_.headMesh);
    if (skeletonName_.empty()) skeletonName_ = kAdultDefaults.skeleton;
    if (meshes || textures) {
        catalog_.rebuildTextureNames();
        // The body mesh is the one chosen before this refill: a mesh change
        // needs a second, texture-only refill to match its textures.
        catalog_.refillTextures(filter, look_.headMesh, look_.bodyMesh);
    }
    SkinCatalog::selectCurrent(catalog_.bodyMeshes, look_.bodyMesh);
    SkinCatalog::selectCurrent(catalog_.headTextures, look_.headTexture);
    SkinCatalog::selectCurrent(catalog_.bodyTextures, look_.bodyTexture);

    applyAppearance();
    startAnimation(anim::LoopMode::Loop);
    suspended_ = false;
}

void Preview::applyAppearance() {
    const bool head = !look_.headTexture.empty(), left = !look_.leftHandTexture.empty(),
               right = !look_.rightHandTexture.empty(), body = !look_.bodyTexture.empty();
    deriveHands(look_);
    // On the first application the hands go on without override: their
    // texture names were still empty before the derivation.
    const std::string headOverride = overrideFor(head, kHeadOverrideKey, look_.headTexture);
    const std::string leftOverride = overrideFor(left, kHandOverrideKey, look_.leftHandTexture);
    const std::string rightOverride = overrideFor(right, kHandOverrideKey, look_.rightHandTexture);
    const std::string bodyOverride = overrideFor(body, kBodyOverrideKey, look_.bodyTexture);

    // The library keeps outfit names in lower case.
    auto find = [this](const std::string& name) {
        return library_ ? library_->findOutfit(platform::toLower(name)) : nullptr;
    };
    anim::Outfit* bodyOutfit = find(look_.bodyMesh);
    anim::Outfit* headOutfit = find(look_.headMesh);
    anim::Outfit* leftOutfit = find(look_.leftHandMesh);
    anim::Outfit* rightOutfit = find(look_.rightHandMesh);

    takeOffAppearance(false);
    if (!character_) return;
    constexpr int kPassThrough = 0, kEveryPart = -1;
    if (headOutfit) worn_.head = character_->putOn(*headOutfit, headOverride, kPassThrough, kEveryPart);
    if (leftOutfit) worn_.leftHand = character_->putOn(*leftOutfit, leftOverride, kPassThrough, kEveryPart);
    if (rightOutfit)
        worn_.rightHand = character_->putOn(*rightOutfit, rightOverride, kPassThrough, kEveryPart);
    if (bodyOutfit) worn_.body = character_->putOn(*bodyOutfit, bodyOverride, kPassThrough, kEveryPart);
}

void Preview::takeOffAppearance(bool alsoStopAnimation) {
    if (!character_) return;
    const anim::TimeMs now = clock_.nowMs();
    if (alsoStopAnimation && playback_) {
        character_->stopPlayback(playback_, now);
        playback_ = nullptr;
    }
    for (anim::WornOutfit** worn : {&worn_.body, &worn_.head, &worn_.leftHand, &worn_.rightHand}) {
        if (*worn) character_->takeOff(*worn, now);
        *worn = nullptr;
    }
}

}  // namespace tryster::preview
