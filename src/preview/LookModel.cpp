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

LookModel::LookModel(Character& character) : character_(character) {
    deriveHands(character_.appearance);
}

// A gender that is neither counts as a man's for the lists, the letter and
// the child rule alike.
CatalogFilter LookModel::filter() const {
    const bool female = gender() == kFemale;
    return CatalogFilter::from(female, bodyType(), skinTone(), isAdult(), !female);
}

LookModel::Kept LookModel::keep() const {
    return {gender(), bodyType(), skinTone(), names(), skeleton_};
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
    deriveHands(character_.appearance);
    for (LookObserver* observer : std::vector<LookObserver*>(observers_)) observer->lookChanged(*this);
}

// The body mesh a refill filters the body textures by is the one chosen
// before it: a mesh change needs a second, texture-only refill to match.
void LookModel::refill(bool meshes, bool textures) {
    if (!started_) return;
    if (!installFolder_.empty())
        (void)platform::fileSystem().setCurrentDirectory(installFolder_);  // if not: fewer textures found
    Appearance& names = character_.appearance;
    const CatalogFilter chosen = filter();
    if (meshes) catalog_.refillMeshes(outfitNames_, chosen);
    SkinCatalog::selectCurrent(catalog_.headMeshes, names.headMesh);
    if (skeleton_.empty()) skeleton_ = kAdultDefaults.skeleton;
    if (meshes || textures) {
        catalog_.rebuildTextureNames();
        catalog_.refillTextures(chosen, names.headMesh, names.bodyMesh);
    }
    SkinCatalog::selectCurrent(catalog_.bodyMeshes, names.bodyMesh);
    SkinCatalog::selectCurrent(catalog_.headTextures, names.headTexture);
    SkinCatalog::selectCurrent(catalog_.bodyTextures, names.bodyTexture);
}

void LookModel::startCatalog(std::vector<std::string> outfitNames) {
    outfitNames_ = std::move(outfitNames);
    started_ = true;
    character_.record.setBodyType(kFit);
    character_.record.setSkinTone(kMedium);
    character_.appearance.isAdult = true;
    character_.record.setGender(kMale);
    refill(true, true);
    changed();
}

void LookModel::enterLookPage() {
    refill(true, true);
    refill(false, true);
    changed();
}

void LookModel::chooseGender(Gender gender) {
    character_.record.setGender(gender);
    refill(true, true);
    refill(false, true);
    changed();
}

void LookModel::chooseBodyType(int index) {
    character_.record.setBodyType(index);
    refill(true, true);
    changed();
}

void LookModel::chooseSkinTone(int index) {
    character_.record.setSkinTone(index);
    refill(true, true);
    changed();
}

// A child's body needs the child skeleton.
void LookModel::chooseBodyMesh(std::string_view name) {
    if (name.empty()) return;
    character_.appearance.bodyMesh = std::string(name);
    skeleton_ = std::string(skeletonForBodyMesh(name));
    refill(false, true);
    changed();
}

void LookModel::chooseBodyTexture(std::string_view name) {
    if (name.empty()) return;
    character_.appearance.bodyTexture = std::string(name);
    changed();
}

void LookModel::chooseHeadMesh(std::string_view name) {
    if (name.empty()) return;
    Appearance& names = character_.appearance;
    names.headMesh = std::string(name);
    refill(false, true);
    if (!catalog_.headTextures.empty()) {
        catalog_.headTextures.select(0);
        names.headTexture = catalog_.headTextures.entries().front();
    }
    changed();
}

void LookModel::chooseHeadTexture(std::string_view name) {
    if (name.empty()) return;
    character_.appearance.headTexture = std::string(name);
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

void LookModel::showCharacter(const Character& read) {
    const Appearance& shown = read.appearance;
    Appearance& names = character_.appearance;
    PlomData& record = character_.record;
    const DefaultSet& defaults = defaultsOf(shown.isAdult);
    names.isAdult = shown.isAdult;
    skeleton_ = std::string(defaults.skeleton);
    names.assign(defaults);
    refill(true, true);

    record.setGender(read.record.gender());
    record.setSkinTone(read.record.skinTone());
    record.setBodyType(read.record.bodyType());
    refill(true, true);

    selectLoaded(catalog_.bodyMeshes, names.bodyMesh, shown.bodyMesh);
    refill(false, true);
    selectLoaded(catalog_.bodyTextures, names.bodyTexture, shown.bodyTexture);
    selectLoaded(catalog_.headMeshes, names.headMesh, shown.headMesh);
    refill(false, true);
    selectLoaded(catalog_.headTextures, names.headTexture, shown.headTexture);
    refill(true, true);
    changed();
}

void LookModel::describe(const Character& described) {
    character_.appearance = described.appearance;
    character_.record.setGender(described.record.gender());
    character_.record.setBodyType(described.record.bodyType());
    character_.record.setSkinTone(described.record.skinTone());
    skeleton_ = std::string(defaultsOf(described.appearance.isAdult).skeleton);
    refill(true, true);
    refill(false, true);
    changed();
}

void LookModel::wearExactly(const Appearance& names) {
    character_.appearance.wearNames(names);
    changed();
}

void LookModel::restore(const Kept& kept) {
    character_.record.setGender(kept.gender);
    character_.record.setBodyType(kept.bodyType);
    character_.record.setSkinTone(kept.skinTone);
    character_.appearance = kept.names;
    skeleton_ = kept.skeleton;
    refill(true, true);
    changed();
}

}  // namespace tryster::preview
