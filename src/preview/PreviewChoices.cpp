// The appearance page's choices: what each one changes in the look and how
// much of the catalog it refills.

#include "preview/Preview.h"

#include "character/CatalogRules.h"

namespace tryster::preview {

void Preview::enterAppearance(bool malePressed, bool femalePressed) {
    inputs_.isMale = malePressed;
    inputs_.female = femalePressed;
    refillCatalog(true, true);
    refillCatalog(false, true);
}

// The gender letter follows the Female button; the body mesh the first
// refill keeps or chooses needs the second refill's textures.
void Preview::chooseGender(bool female) {
    inputs_.female = female;
    refillCatalog(true, true);
    refillCatalog(false, true);
}

void Preview::chooseBodyType(int index) {
    inputs_.bodyTypeIndex = index;
    refillCatalog(true, true);
    applyAppearance();
}

void Preview::chooseSkinType(int index) {
    inputs_.skinToneIndex = index;
    refillCatalog(true, true);
    applyAppearance();
}

// A child's body needs the child skeleton; the texture lists follow the
// body mesh.
void Preview::chooseBodyMesh(std::string_view name) {
    if (name.empty()) return;
    look_.bodyMesh = std::string(name);
    skeletonName_ = std::string(skeletonForBodyMesh(name));
    refillCatalog(false, true);
}

void Preview::chooseBodyTexture(std::string_view name) {
    if (name.empty()) return;
    look_.bodyTexture = std::string(name);
    applyAppearance();
}

// A new head takes the first of its textures.
void Preview::chooseHeadMesh(std::string_view name) {
    if (name.empty()) return;
    look_.headMesh = std::string(name);
    refillCatalog(false, true);
    if (!catalog_.headTextures.empty()) {
        catalog_.headTextures.select(0);
        look_.headTexture = catalog_.headTextures.entries().front();
    }
    applyAppearance();
}

void Preview::chooseHeadTexture(std::string_view name) {
    if (name.empty()) return;
    look_.headTexture = std::string(name);
    applyAppearance();
}

exchange::Look Preview::currentLook() const {
    exchange::Look out;
    out.appearance = look_;
    out.skinTone = inputs_.skinToneIndex;
    out.bodyType = inputs_.bodyTypeIndex;
    out.isAdult = inputs_.isAdult;
    out.isMale = !inputs_.female;
    return out;
}

namespace {

// Selects the entry equal to `name` (the first entry when there is none);
// the current name is `name` either way.
void selectLoaded(NameListModel& list, std::string& current, const std::string& name) {
    const int index = list.find(name);
    list.select(index != NameListModel::kNoSelection || list.empty() ? index : 0);
    current = name;
}

}  // namespace

void Preview::showCharacterLook(const exchange::CharacterLook& character) {
    const DefaultSet& defaults = character.defaults();
    inputs_.isAdult = character.isAdult;
    skeletonName_ = std::string(defaults.skeleton);
    look_.assign(defaults);
    animationName_ = std::string(defaults.animation);
    refillCatalog(true, true);

    inputs_.isMale = character.isMale;
    inputs_.female = !character.isMale;
    inputs_.skinToneIndex = character.skinTone;
    inputs_.bodyTypeIndex = character.bodyType;
    presenter_.catalogInputsChosen();
    refillCatalog(true, true);

    selectLoaded(catalog_.bodyMeshes, look_.bodyMesh, character.bodyMesh);
    refillCatalog(false, true);
    selectLoaded(catalog_.bodyTextures, look_.bodyTexture, character.bodyTexture);
    selectLoaded(catalog_.headMeshes, look_.headMesh, character.headMesh);
    refillCatalog(false, true);
    selectLoaded(catalog_.headTextures, look_.headTexture, character.headTexture);

    animationName_.clear();
    applyAppearance();
    refillCatalog(true, true);
}

void Preview::reloadCatalog() {
    takeOffAppearance(false);
    refillCatalog(true, true);
}

}  // namespace tryster::preview
