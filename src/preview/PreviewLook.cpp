// The look on the preview: the character built on the look's skeleton and
// dressed in its four outfits, each with its texture, whenever the look
// changes; and the files it may wear from memory.

#include "preview/Preview.h"
#include "preview/PreviewEngine.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"

namespace tryster::preview {
namespace {

std::string overrideFor(std::string_view key, const std::string& texture) {
    return texture.empty() ? std::string() : std::string(key) + texture;
}

}  // namespace

// A new skeleton needs a new character; its playback goes with it, and the
// chosen animation starts again on the new one.
void Preview::lookChanged(const LookModel& look) {
    if (!library_) return;
    if (engine_->character && engine_->character->name() != look.skeleton()) {
        takeOffAppearance(true);
        engine_->character.reset();
    }
    if (!engine_->character) engine_->character = preview::PreviewCharacter::make(*library_, look.skeleton(), {}, {}, clock_.nowMs());
    applyAppearance();
    startAnimation(anim::LoopMode::Loop);
}

// An outfit without a texture name shows its meshes' own textures; one the
// library does not know is left off.
void Preview::applyAppearance() {
    const Appearance& names = look_.names();
    // The library keeps outfit names in lower case.
    auto find = [this](const std::string& name) {
        return library_ ? library_->findOutfit(platform::toLower(name)) : nullptr;
    };
    anim::Outfit* bodyOutfit = find(names.bodyMesh);
    anim::Outfit* headOutfit = find(names.headMesh);
    anim::Outfit* leftOutfit = find(names.leftHandMesh);
    anim::Outfit* rightOutfit = find(names.rightHandMesh);

    takeOffAppearance(false);
    if (!engine_->character) return;
    constexpr int kPassThrough = 0, kEveryPart = -1;
    auto putOn = [&](anim::WornOutfit*& worn, anim::Outfit* outfit, std::string_view key, const std::string& texture) {
        if (outfit) worn = engine_->character->putOn(*outfit, overrideFor(key, texture), kPassThrough, kEveryPart);
    };
    putOn(worn_.head, headOutfit, kHeadOverrideKey, names.headTexture);
    putOn(worn_.leftHand, leftOutfit, kHandOverrideKey, names.leftHandTexture);
    putOn(worn_.rightHand, rightOutfit, kHandOverrideKey, names.rightHandTexture);
    putOn(worn_.body, bodyOutfit, kBodyOverrideKey, names.bodyTexture);
}

void Preview::holdFiles(std::shared_ptr<const platform::HeldFiles> files) {
    takeOffAppearance(false);
    held_ = std::move(files);
    useHeldFiles();
    applyAppearance();
}

// The held files' outfits find their meshes along the folders the game's
// character files are scanned in. Textures leave the cache with the last
// outfit that wears them, so those of the next outfits are made anew, from
// the held files or the folders.
void Preview::useHeldFiles() {
    if (library_) library_->holdFiles(held_.get(), anim::kCharacterSearchPath);
    if (engine_->animDevice) engine_->animDevice->textures().holdFiles(held_.get());
}

void Preview::readNewCharacterFiles(const std::vector<std::string>& gamePaths) {
    if (!library_) return;
    takeOffAppearance(false);
    const anim::SearchPath searchPath(anim::kCharacterSearchPath);
    for (const std::string& path : gamePaths) {
        const std::string_view folder = platform::folderPart(path);
        const std::string_view withoutSeparator = folder.substr(0, folder.empty() ? 0 : folder.size() - 1);
        (void)library_->loadNewFile(withoutSeparator, platform::namePart(path), searchPath);  // see faults()
    }
    applyAppearance();
}

void Preview::takeOffAppearance(bool alsoStopAnimation) {
    shownValid_ = false;  // other clothes, or the same from other files
    engine_->changed.forget();
    if (!engine_->character) return;
    const anim::TimeMs now = clock_.nowMs();
    if (alsoStopAnimation && playback_) {
        engine_->character->stopPlayback(playback_, now);
        playback_ = nullptr;
    }
    for (anim::WornOutfit** worn : {&worn_.body, &worn_.head, &worn_.leftHand, &worn_.rightHand}) {
        if (*worn) engine_->character->takeOff(*worn, now);
        *worn = nullptr;
    }
}

}  // namespace tryster::preview
