#pragma once
// The rules of the look of the character being built, and the one way it
// changes: gender, age, build and tone, the four chosen names with the
// hands that follow from them, the skeleton they are worn on, and the four
// appearance lists that offer what fits. The facts themselves live in the
// character the model is made over (its record and its appearance); the
// model keeps only what the preview needs beside them (the skeleton) and
// the lists. Each operation is a choice a player makes (or the set-up, a
// load or a preview makes) and does what the window does about it: which
// lists are filled again, which names are kept or replaced by what the
// lists offer. It ends by telling its observers, once.
//
// The window's pages change the look only through these operations; the
// writers read the character; the preview reads the model and dresses the
// character when told.

#include "character/CatalogRules.h"
#include "character/Character.h"
#include "character/Vocabulary.h"
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
    // Over `character`, which outlives the model; its hands follow its body
    // from now on. The lists stay empty until startCatalog.
    explicit LookModel(Character& character);
    LookModel(const LookModel&) = delete;
    LookModel& operator=(const LookModel&) = delete;

    // The record's gender: kMale, kFemale, or anything else while none is
    // chosen yet (the lists then offer a man's outfits).
    std::int32_t gender() const { return character_.record.gender(); }
    bool isAdult() const { return character_.appearance.isAdult; }
    // Selections of "Body Type:" and "Skin Type:".
    int bodyType() const { return character_.record.bodyType(); }
    int skinTone() const { return character_.record.skinTone(); }
    // The eight names, the hands derived from the body.
    const Appearance& names() const { return character_.appearance; }
    // The character the look is part of, as the writers read it.
    const Character& character() const { return character_; }
    // "adult" or "child".
    const std::string& skeleton() const { return skeleton_; }
    const SkinCatalog& catalog() const { return catalog_; }
    CatalogFilter filter() const;

    // The look at one moment, kept by a page that shows another character
    // for a while, to be put back (restore) when it is left without taking
    // that character.
    struct Kept {
        std::int32_t gender = kMale;
        int bodyType = kFit;
        int skinTone = kMedium;
        Appearance names;
        std::string skeleton;
    };
    Kept keep() const;

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

    // Entering the look page: both refills, then the textures again for the
    // body mesh the first one chose.
    void enterLookPage();
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

    // The look of a character read from its file (a loaded one, a townie, a
    // date; see exchange::lookFromStrings): its age's default set, its
    // gender, tone and build, then its four names, each selected where the
    // lists offer it and kept as the chosen name either way, and a last
    // refill of both. Only the look is taken; the record's name and the
    // rest stay.
    void showCharacter(const Character& read);
    // The look of a described character at once (the command-line tool):
    // its eight names, age, gender, build and tone, then both refills and
    // the textures again; names the lists lack are replaced by what they
    // select.
    void describe(const Character& described);
    // The eight names exactly as given, whether the lists offer them or not
    // (the command-line tool's new date, written with them); the age stays.
    void wearExactly(const Appearance& names);
    // The look as it was kept, then both refills, which select its names
    // where the lists offer them.
    void restore(const Kept& kept);

private:
    void refill(bool meshes, bool textures);
    void changed();

    Character& character_;
    std::string skeleton_{kAdultDefaults.skeleton};
    std::string installFolder_;
    bool started_ = false;
    std::vector<std::string> outfitNames_;
    SkinCatalog catalog_;
    mutable std::vector<LookObserver*> observers_;
};

}  // namespace tryster::preview
