#include "PreviewHarness.h"

#include "anim/SkinInstance.h"
#include "preview/LookModel.h"

namespace tryster::test {
namespace {

using preview::Preview;
using Names = std::vector<std::string>;

// The texture each worn outfit shows, by outfit name.
std::map<std::string, std::string> dress(const Preview& p) {
    std::map<std::string, std::string> out;
    for (const auto& worn : previewCharacter(p)->skeleton()->wornOutfits())
        for (const anim::WornPart& part : worn->parts()) out[worn->outfit().name] = part.skin->textureName();
    return out;
}

TEST_F(PreviewTest, TheStartingListsHoldWhatFitsAnAdultManOfMediumTone) {
    Preview& p = start();
    const preview::SkinCatalog& c = look.catalog();
    EXPECT_EQ(c.headMeshes.entries(), (Names{"c011ma_repo", "c012ma_bald", "c201ma_child"}));
    EXPECT_EQ(c.bodyMeshes.entries(), (Names{"b003mafit_01", "nsuit_mafit"}));
    EXPECT_EQ(c.headTextures.entries(), (Names{"C011mamed_rotc"}));
    EXPECT_EQ(c.bodyTextures.entries(),
              (Names{"B003MAFitmed_alt", "B003MAFitmed_alt", "B003MAFitmed_bmoc", "u003m_extra"}))
        << "sorted without regard to case, a texture of two folders twice";
    EXPECT_EQ(c.headMeshes.selectedText(), "c011ma_repo");
    EXPECT_EQ(c.bodyTextures.selectedText(), "B003MAFitmed_bmoc");
    EXPECT_EQ(dress(p), (std::map<std::string, std::string>{{"b003mafit_01", "B003MAFitmed_bmoc"},
                                                            {"c011ma_repo", "C011mamed_rotc"},
                                                            {"hmlo", "HUAOmed"},
                                                            {"hmro", "HUAOmed"}}));
}

// The first refill keeps the body texture chosen for the man's body; only
// the second, for the body it chose, offers hers.
TEST_F(PreviewTest, AGenderChangeRefillsTheTexturesForTheNewBody) {
    Preview& p = start();
    look.chooseGender(kFemale);
    EXPECT_EQ(look.names().headMesh, "c200fa_anne") << "the first of the list replaces one no longer listed";
    EXPECT_EQ(look.names().bodyMesh, "b004fafit_01");
    EXPECT_EQ(look.catalog().bodyTextures.entries(), (Names{"B004FAFitmed_x"}));
    EXPECT_EQ(look.names().bodyTexture, "B004FAFitmed_x");
    EXPECT_EQ(look.names().headTexture, "C200famed_anne");
    EXPECT_EQ(look.names().leftHandMesh, "hflo");
    EXPECT_EQ(dress(p).at("b004fafit_01"), "B004FAFitmed_x");
    EXPECT_FALSE(character.isMale()) << "one gender for the lists, the voice and the file";
}

TEST_F(PreviewTest, AChoiceThatSurvivesTheChangeStaysSelected) {
    start();
    look.chooseBodyMesh("nsuit_mafit");
    look.chooseSkinTone(kLight);
    EXPECT_EQ(look.names().bodyMesh, "nsuit_mafit");
    EXPECT_EQ(look.catalog().bodyMeshes.selectedIndex(), 1);
    EXPECT_EQ(look.names().headTexture, "C011malgt_rotc");
}

TEST_F(PreviewTest, AChildSkeletonReplacesThePreviewCharacterAndListsChildBodiesOfItsGender) {
    Preview& p = start();
    ASSERT_EQ(previewCharacter(p)->name(), "adult");
    p.keepPlaying("a2o-idle1");
    Character child;
    child.appearance.isAdult = false;
    child.appearance.assign(kChildDefaults);
    child.appearance.bodyMesh = "b005mcchd_01";
    look.describe(child);
    ASSERT_TRUE(previewCharacter(p));
    EXPECT_EQ(previewCharacter(p)->name(), "child") << "a character of the new skeleton";
    EXPECT_EQ(previewCharacter(p)->skeleton()->name(), "child");
    // Adult bodies of the gender and build are offered to children too.
    EXPECT_EQ(look.catalog().bodyMeshes.entries(), (Names{"b003mafit_01", "b005mcchd_01", "nsuit_mafit"}));
    ASSERT_TRUE(p.playback()) << "the new character plays the chosen animation";
    EXPECT_EQ(p.playback()->animation().name, "a2o-idle1");
    EXPECT_EQ(dress(p).count("hulo"), 1u);
    run(100);

    look.chooseGender(kFemale);
    EXPECT_EQ(look.catalog().bodyMeshes.entries(), (Names{"b004fafit_01", "b006fcchd_01"}));
    EXPECT_EQ(look.names().bodyMesh, "b004fafit_01");
    EXPECT_EQ(previewCharacter(p)->skeleton()->name(), "child") << "the skeleton follows a chosen body, not a list";
}

TEST_F(PreviewTest, AnOutfitTheLibraryLacksIsLeftOffAndTheOthersAreWorn) {
    Preview& p = start();
    Appearance names = look.names();
    names.headMesh = "c999ma_nobody";
    look.wearExactly(names);
    const auto worn = dress(p);
    EXPECT_EQ(worn.size(), 3u);
    EXPECT_EQ(worn.count("c999ma_nobody"), 0u);
    names.headMesh = "C011MA_REPO";
    look.wearExactly(names);
    EXPECT_EQ(dress(p).count("c011ma_repo"), 1u) << "outfit names are kept in lower case";
}

TEST_F(PreviewTest, AnEmptyBodyTextureDressesTheBodyInItsOwnTexture) {
    Preview& p = start();
    Appearance names = look.names();
    names.bodyTexture.clear();
    look.wearExactly(names);
    EXPECT_EQ(dress(p).at("b003mafit_01"), "no-such-body");
    EXPECT_EQ(look.names().leftHandTexture, "HUAOlgt");
}

TEST_F(PreviewTest, AStandingCharacterKeepsItsLook) {
    Preview& p = start();
    p.standStill();
    EXPECT_FALSE(p.playback());
    EXPECT_TRUE(previewCharacter(p)->skeleton()->playbacks().empty());
    EXPECT_EQ(previewCharacter(p)->skeleton()->wornOutfits().size(), 4u);
    look.rescan();
    EXPECT_FALSE(p.playback()) << "a refill does not wake it";
}

class BareCatalog : public GameFolder {};

TEST_F(BareCatalog, WithoutAHeadForTheGenderEveryHeadTextureOfTheToneIsListed) {
    anim::CharacterLibrary library;
    anim::CharacterFileContents c;
    auto body = anim::Outfit::create();
    body->name = "b003mafit_01";
    c.outfits.push_back(body);
    library.registerContents(c, "", "test", "");
    for (const char* name : {"C011mamed_rotc", "C900mamed_any", "C011malgt_rotc", "B003MAFitmed_bmoc"})
        dir.write(std::string("GameData/Skins/") + name + ".bmp", "");
    dir.write("GameData/Animation/C500mamed_anim.BMP", "");

    preview::SkinCatalog catalog;
    const CatalogFilter filter = CatalogFilter::from(false, kFit, kMedium, true, true);
    catalog.refillMeshes({"b003mafit_01"}, filter);
    EXPECT_TRUE(catalog.headMeshes.empty());
    std::string head = "c011ma_repo";
    preview::SkinCatalog::selectCurrent(catalog.headMeshes, head);
    EXPECT_EQ(head, "");
    EXPECT_EQ(catalog.headMeshes.selectedIndex(), preview::NameListModel::kNoSelection);

    catalog.rebuildTextureNames();
    EXPECT_EQ(catalog.textureNames().front(), "C500mamed_anim") << "index-file folders come first";
    catalog.refillTextures(filter, head, "b003mafit_01");
    EXPECT_EQ(catalog.headTextures.entries(), (Names{"C011mamed_rotc", "C500mamed_anim", "C900mamed_any"}));
    EXPECT_EQ(catalog.bodyTextures.entries(), (Names{"B003MAFitmed_bmoc"}));
}

// The look's own rules, without a preview: each operation tells its
// observers once, the hands follow the body, and every choice lands in the
// character the model is made over, the one the writers read.
using preview::LookModel;

class CountingObserver final : public preview::LookObserver {
public:
    void lookChanged(const LookModel&) override { ++calls; }
    int calls = 0;
};

TEST(LookModel, EachChoiceIsToldOnceAndTheHandsFollowTheBody) {
    Character character;
    LookModel look(character);
    CountingObserver observer;
    look.addObserver(&observer);
    look.chooseBodyTexture("B003MAFitdrk_x");
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(character.appearance.leftHandTexture, "HUAOdrk");
    look.chooseBodyMesh("b001ucchd_01");
    EXPECT_EQ(look.skeleton(), "child");
    EXPECT_EQ(look.names().rightHandMesh, "huro");
    look.chooseBodyTexture("");
    EXPECT_EQ(observer.calls, 2) << "an empty choice (nothing selected) changes nothing";
    const LookModel::Kept before = look.keep();
    look.chooseHeadMesh("c012ma_beard");
    EXPECT_EQ(look.names().headMesh, "c012ma_beard");
    look.restore(before);
    EXPECT_EQ(look.names().headMesh, before.names.headMesh);
    EXPECT_EQ(observer.calls, 4) << "a look put back is told too";
    look.removeObserver(&observer);
    look.chooseGender(kFemale);
    EXPECT_EQ(observer.calls, 4);
}

TEST(LookModel, EveryChoiceIsTheCharactersAtOnceAndAShownCharacterTakesOnlyItsLook) {
    Character character;
    character.record.setName("Ann");
    LookModel look(character);
    look.chooseGender(kFemale);
    look.chooseBodyType(kSkinny);
    look.chooseSkinTone(kDark);
    EXPECT_TRUE(character.record.gender() == kFemale && character.record.bodyType() == kSkinny &&
                character.record.skinTone() == kDark);
    EXPECT_EQ(look.filter().gender, 'f');
    EXPECT_FALSE(look.filter().isMale) << "the letter and the child rule agree";

    const LookModel::Kept kept = look.keep();
    Character read;
    read.record.setGender(kMale);
    read.record.setName("Somebody else");
    read.appearance.isAdult = false;
    read.appearance.bodyMesh = "b001ucchd_01";
    look.showCharacter(read);
    EXPECT_TRUE(character.isMale() && !character.appearance.isAdult && character.appearance.bodyMesh == "b001ucchd_01");
    EXPECT_EQ(character.record.name(), "Ann") << "a shown character lends its look, not its name";
    look.restore(kept);
    EXPECT_TRUE(character.record.gender() == kFemale && character.appearance.isAdult);

    // A gender that is neither: no button is pressed, so Next waits; the
    // lists offer a man's outfits meanwhile.
    character.record.setGender(7);
    EXPECT_TRUE(look.filter().gender == 'm' && look.filter().isMale);
}

// A shared date is worn on the preview from memory before anything of it
// is written: its outfits, meshes and textures come from the held files,
// over the game's of the same names, and go when they are let go.
using preview::Preview;

constexpr const char* kHeldBody = "b009fafit_held";
constexpr const char* kHeldTexture = "B009FAFitmed_held";

bool isOtherColour(std::uint32_t p) { return red(p) > 100 && green(p) > 100 && blue(p) < 80; }

int count(const Picture& p, bool (*colour)(std::uint32_t)) {
    return static_cast<int>(std::count_if(p.pixels.begin(), p.pixels.end(),
                                          [colour](std::uint32_t px) { return colour(px & 0xFFFFFF); }));
}

// The mesh of each worn outfit's first part, by outfit name.
std::map<std::string, std::string> meshes(const Preview& p) {
    std::map<std::string, std::string> out;
    for (const auto& worn : previewCharacter(p)->skeleton()->wornOutfits())
        out[worn->outfit().name] = worn->parts().front().part->meshName;
    return out;
}

class HeldFiles : public PreviewTest {
protected:
    // A body the game lacks: a character file with its outfit, the outfit's
    // mesh and a texture, as a pack holds them.
    std::shared_ptr<platform::HeldFiles> heldBody(const std::string& outfitName = kHeldBody) {
        const auto mesh = boxMesh(std::string(kHeldBody) + "-BODY", "ROOT", {-0.55f, -0.1f, -0.2f},
                                  {0.55f, 4.55f, 0.2f}, "no-such-body");
        anim::CharacterFileContents c;
        c.outfits.push_back(outfitOf(outfitName, {mesh}));
        std::string cmx, skn;
        EXPECT_TRUE(anim::writeCharacterText(c, cmx).ok);
        EXPECT_TRUE(anim::writeSkinMeshText(*mesh, skn).ok);
        auto held = std::make_shared<platform::HeldFiles>();
        held->add(std::string(kHeldBody) + ".cmx", {cmx.begin(), cmx.end()});
        held->add(mesh->name + ".skn", {skn.begin(), skn.end()});
        held->add(std::string(kHeldTexture) + ".bmp", solidBmp(kOtherColour));
        return held;
    }

    void wearHeldBody() {
        Appearance names = look.names();
        names.bodyMesh = kHeldBody;
        names.bodyTexture = kHeldTexture;
        look.wearExactly(names);
    }

    Picture frame() {
        preview->standStill();
        run(20);
        return picture();
    }
};

TEST_F(HeldFiles, TheCharacterWearsTheHeldOutfitMeshAndTextureUntilTheyAreLetGo) {
    Preview& p = start();
    wearHeldBody();
    EXPECT_EQ(meshes(p).count(kHeldBody), 0u) << "the game has no such outfit";

    p.holdFiles(heldBody());
    EXPECT_EQ(meshes(p)[kHeldBody], std::string(kHeldBody) + "-BODY");
    const Picture held = frame();
    EXPECT_GT(count(held, isOtherColour), 500) << "the held texture";
    EXPECT_EQ(count(held, isBodyColour), 0);

    p.holdFiles(nullptr);
    EXPECT_EQ(meshes(p).count(kHeldBody), 0u);
    EXPECT_EQ(count(frame(), isOtherColour), 0);
}

// The game's texture was made before the held one came, and is made again
// when it goes: neither is kept by name in between.
TEST_F(HeldFiles, AHeldTextureTakesThePlaceOfTheGamesOfTheSameName) {
    Preview& p = start();
    EXPECT_GT(count(frame(), isBodyColour), 500);
    auto held = std::make_shared<platform::HeldFiles>();
    held->add("b003mafitMED_BMOC.bmp", solidBmp(kOtherColour));  // letter case aside
    p.holdFiles(held);
    const Picture shown = frame();
    EXPECT_EQ(count(shown, isBodyColour), 0);
    EXPECT_GT(count(shown, isOtherColour), 500);
    p.holdFiles(nullptr);
    EXPECT_GT(count(frame(), isBodyColour), 500);
}

TEST_F(HeldFiles, HeldBeforeTheSetUpTheyAreWornFromTheFirstFrame) {
    writeInstall();
    preview = std::make_unique<Preview>(look, presenter, previewClock);
    preview->holdFiles(heldBody());
    ASSERT_TRUE(preview::startPreview(*preview, look, &window, preview::kPreviewWidth, preview::kPreviewHeight));
    wearHeldBody();
    EXPECT_GT(count(frame(), isOtherColour), 500);
}

// Installed, the files are read from the game's folder; a file that
// defines an outfit the scan found already takes its place.
TEST_F(HeldFiles, CharacterFilesWrittenAfterTheScanAreReadIntoTheLibrary) {
    Preview& p = start();
    const auto held = heldBody("b003mafit_01");
    for (const char* name : {"b009fafit_held.cmx", "b009fafit_held-BODY.skn", "B009FAFitmed_held.bmp"}) {
        const platform::HeldFile* file = held->find(name, std::vector<std::string>{platform::fileType(name)});
        ASSERT_TRUE(file) << name;
        dir.write(std::string(kSkins) + name, text(file->bytes));
    }
    EXPECT_EQ(meshes(p)["b003mafit_01"], "b003mafit_01-BODY");
    p.readNewCharacterFiles({"GameData\\Skins\\b009fafit_held.cmx"});
    EXPECT_EQ(meshes(p)["b003mafit_01"], "b009fafit_held-BODY") << "the new definition";
}

}  // namespace
}  // namespace tryster::test
