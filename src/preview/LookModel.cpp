#include "preview/LookModel.h"

#include "character/HandDerivation.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace tryster::preview {
namespace {

// Selects the entry equal to `name` (the first entry when there is none);
// the chosen name is `name` either way.
void selectLoaded(NameListModel& list, std::string& chosen, const std::string& name) {
    const int index = list.find(name);
    list.select(index != NameListModel::kNoSelection || list.empty() ? index : 0);
    chosen = name;
}

}  // namespace

LookModel::LookModel() {
    deriveHands(names_);
}

CatalogFilter LookModel::filter() const {
    return CatalogFilter::from(gender_ == kFemale, bodyType_, skinTone_, adult_, gender_ == kMale);
}

exchange::Look LookModel::written() const {
    exchange::Look out;
    out.appearance = names_;
    out.skinTone = skinTone_;
    out.bodyType = bodyType_;
    out.isAdult = adult_;
    out.isMale = gender_ == kMale;
    return out;
}

void LookModel::addObserver(LookObserver* observer) const {
    observers_.push_back(observer);
}

void LookModel::removeObserver(LookObserver* observer) const {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// The hands follow the body each time the look changes, before anyone sees
// it.
void LookModel::changed() {
    deriveHands(names_);
    for (LookObserver* observer : std::vector<LookObserver*>(observers_)) observer->lookChanged(*this);
}

// The body mesh a refill filters the body textures by is the one chosen
// before it: a mesh change needs a second, texture-only refill to match.
void LookModel::refill(bool meshes, bool textures) {
    if (!started_) return;
    if (!installFolder_.empty()) (void)platform::fileSystem().setCurrentDirectory(installFolder_);
    const CatalogFilter chosen = filter();
    if (meshes) catalog_.refillMeshes(outfitNames_, chosen);
    SkinCatalog::selectCurrent(catalog_.headMeshes, names_.headMesh);
    if (skeleton_.empty()) skeleton_ = kAdultDefaults.skeleton;
    if (meshes || textures) {
        catalog_.rebuildTextureNames();
        catalog_.refillTextures(chosen, names_.headMesh, names_.bodyMesh);
    }
    SkinCatalog::selectCurrent(catalog_.bodyMeshes, names_.bodyMesh);
    SkinCatalog::selectCurrent(catalog_.headTextures, names_.headTexture);
    SkinCatalog::selectCurrent(catalog_.bodyTextures, names_.bodyTexture);
}

void LookModel::startCatalog(std::vector<std::string> outfitNames) {
    outfitNames_ = std::move(outfitNames);
    started_ = true;
    bodyType_ = kFit;
    skinTone_ = kMedium;
    adult_ = true;
    gender_ = kMale;
    refill(true, true);
    changed();
}

void LookModel::enterLookPage(std::int32_t recordGender) {
    if (recordGender == kMale || recordGender == kFemale) gender_ = static_cast<Gender>(recordGender);
    refill(true, true);
    refill(false, true);
    changed();
}

void LookModel::chooseGender(Gender gender) {
    gender_ = gender;
    refill(true, true);
    refill(false, true);
    changed();
}

void LookModel::chooseBodyType(int index) {
    bodyType_ = index;
    refill(true, true);
    changed();
}

void LookModel::chooseSkinTone(int index) {
    skinTone_ = index;
    refill(true, true);
    changed();
}

// A child's body needs the child skeleton.
void LookModel::chooseBodyMesh(std::string_view name) {
    if (name.empty()) return;
    names_.bodyMesh = std::string(name);
    skeleton_ = std::string(skeletonForBodyMesh(name));
    refill(false, true);
    changed();
}

void LookModel::chooseBodyTexture(std::string_view name) {
    if (name.empty()) return;
    names_.bodyTexture = std::string(name);
    changed();
}

void LookModel::chooseHeadMesh(std::string_view name) {
    if (name.empty()) return;
    names_.headMesh = std::string(name);
    refill(false, true);
    if (!catalog_.headTextures.empty()) {
        catalog_.headTextures.select(0);
        names_.headTexture = catalog_.headTextures.entries().front();
    }
    changed();
}

void LookModel::chooseHeadTexture(std::string_view name) {
    if (name.empty()) return;
    names_.headTexture = std::string(name);
    changed();
}

void LookModel::rescan() {
    refill(true, true);
    changed();
}

void LookModel::offerOutfits(std::vector<std::string> outfitNames) {
    outfitNames_ = std::move(outfitNames);
    rescan();
}

void LookModel::showCharacter(const exchange::CharacterLook& character) {
    const DefaultSet& defaults = character.defaults();
    adult_ = character.isAdult;
    skeleton_ = std::string(defaults.skeleton);
    names_.assign(defaults);
    refill(true, true);

    gender_ = character.isMale ? kMale : kFemale;
    skinTone_ = character.skinTone;
    bodyType_ = character.bodyType;
    refill(true, true);

    selectLoaded(catalog_.bodyMeshes, names_.bodyMesh, character.bodyMesh);
    refill(false, true);
    selectLoaded(catalog_.bodyTextures, names_.bodyTexture, character.bodyTexture);
    selectLoaded(catalog_.headMeshes, names_.headMesh, character.headMesh);
    refill(false, true);
    selectLoaded(catalog_.headTextures, names_.headTexture, character.headTexture);
    refill(true, true);
    changed();
}

void LookModel::describe(const Appearance& names, Gender gender, bool adult, int bodyType, int skinTone) {
    names_ = names;
    gender_ = gender;
    adult_ = adult;
    skeleton_ = std::string(adult ? kAdultDefaults.skeleton : kChildDefaults.skeleton);
    bodyType_ = bodyType;
    skinTone_ = skinTone;
    refill(true, true);
    refill(false, true);
    changed();
}

void LookModel::wearExactly(const Appearance& names) {
    names_ = names;
    changed();
}

void LookModel::restore(const State& state) {
    gender_ = state.gender;
    adult_ = state.adult;
    bodyType_ = state.bodyType;
    skinTone_ = state.skinTone;
    names_ = state.names;
    skeleton_ = state.skeleton;
    refill(true, true);
    changed();
}

}  // namespace tryster::preview
