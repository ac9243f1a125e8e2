// A shared date is worn on the preview from memory before anything of it
// is written: its outfits, meshes and textures come from the held files,
// over the game's of the same names, and go when they are let go.

#include "PreviewHarness.h"

#include "anim/SkinInstance.h"

namespace tryster::test {
namespace {

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
