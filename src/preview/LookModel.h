#pragma once
// The look of the character being built, and the one place it changes:
// gender, age, build and tone, the four chosen names with the hands that
// follow from them, the skeleton they are worn on, and the four appearance
// lists that offer what fits. Each operation is a choice a player makes (or
// the set-up, a load or a preview makes) and does what the window does
// about it: which lists are filled again, which names are kept or replaced
// by what the lists offer. It ends by telling its observers, once.
//
// The window's pages change the look only through these operations; the
// record takes its gender, build and tone from it when the look page is
// left; the preview reads it and dresses the character when told.

#include "character/Appearance.h"
#include "character/CatalogRules.h"
#include "character/Vocabulary.h"
#include "exchange/CharacterLook.h"
#include "exchange/Look.h"
#include "preview/SkinCatalog.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::preview {

class LookModel;

class LookObserver {
public:
    virtual ~LookObserver() = default;
    virtual void lookChanged(const LookModel& look) = 0;
};

class LookModel {
public:
    // The adult default set, a man of fit build and medium tone; the lists
    // stay empty until startCatalog.
    LookModel();
    LookModel(const LookModel&) = delete;
    LookModel& operator=(const LookModel&) = delete;

    Gender gender() const { return gender_; }
    bool isAdult() const { return adult_; }
    // Selections of "Body Type:" and "Skin Type:".
    int bodyType() const { return bodyType_; }
    int skinTone() const { return skinTone_; }
    // The eight names, the hands derived from the body.
    const Appearance& names() const { return names_; }
    // "adult" or "child".
    const std::string& skeleton() const { return skeleton_; }
    const SkinCatalog& catalog() const { return catalog_; }
    CatalogFilter filter() const;
    // What the exporters write.
    exchange::Look written() const;

    // The whole look at one moment, to be put back (restore) when a page
    // that showed another character is left without taking it.
    struct State {
        Gender gender = kMale;
        bool adult = true;
        int bodyType = kFit;
        int skinTone = kMedium;
        Appearance names;
        std::string skeleton;
    };
    State state() const { return {gender_, adult_, bodyType_, skinTone_, names_, skeleton_}; }

    // Observers are told after each operation; they are not part of the
    // look, so a reader may sign up.
    void addObserver(LookObserver* observer) const;
    void removeObserver(LookObserver* observer) const;

    // The game's folder, made current before the lists are filled (they
    // find textures relative to it). Empty: left as it is.
    void setInstallFolder(std::string folder) { installFolder_ = std::move(folder); }

    // The preview's set-up has found the game's outfits: the default
    // choices (fit, medium, adult, male) and the first filling of the lists.
    // Until then every operation changes the choices and names only.
    void startCatalog(std::vector<std::string> outfitNames);

    // Entering the look page: the gender the record holds (anything but
    // male or female leaves the gender as it is), both refills, then the
    // textures again for the body mesh the first one chose.
    void enterLookPage(std::int32_t recordGender);
    // Each followed by both refills, then the textures again.
    void chooseGender(Gender gender);
    // Each followed by both refills.
    void chooseBodyType(int index);
    void chooseSkinTone(int index);
    // A body mesh brings its skeleton and refills the textures; a head mesh
    // refills the textures and takes the first head texture. An empty name
    // (nothing selected) changes nothing.
    void chooseBodyMesh(std::string_view name);
    void chooseBodyTexture(std::string_view name);
    void chooseHeadMesh(std::string_view name);
    void chooseHeadTexture(std::string_view name);
    // Finds the game's textures again.
    void rescan();
    // The game's outfits once more, after new character files were read
    // into the preview (a shared date installed): the lists are filled from
    // them, the choices kept.
    void offerOutfits(std::vector<std::string> outfitNames);

    // A character read from its file (a loaded one, a townie, a date): its
    // age's default set, its gender, tone and build, then its four names,
    // each selected where the lists offer it and kept as the chosen name
    // either way, and a last refill of both.
    void showCharacter(const exchange::CharacterLook& character);
    // A whole look at once, as a description asks for it (the command-line
    // tool): both refills, then the textures again; names the lists lack
    // are replaced by what they select.
    void describe(const Appearance& names, Gender gender, bool adult, int bodyType, int skinTone);
    // The four names exactly as given, whether the lists offer them or not
    // (the command-line tool's new date, written with them).
    void wearExactly(const Appearance& names);
    // The look as it was, then both refills, which select its names where
    // the lists offer them.
    void restore(const State& state);

private:
    void refill(bool meshes, bool textures);
    void changed();

    Gender gender_ = kMale;
    bool adult_ = true;
    int bodyType_ = kFit;
    int skinTone_ = kMedium;
    Appearance names_;
    std::string skeleton_{kAdultDefaults.skeleton};
    std::string installFolder_;
    bool started_ = false;
    std::vector<std::string> outfitNames_;
    SkinCatalog catalog_;
    mutable std::vector<LookObserver*> observers_;
};

}  // namespace tryster::preview
