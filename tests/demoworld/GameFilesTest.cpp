// The demo folder's character files, the neighbourhood and the program's
// template: the townie and date searches find what they should, every file
// holds what the exporters read, and every appearance a rewrite can give
// names outfits and textures of the folder.

#include "DemoFolder.h"

#include "anim/CharacterLibrary.h"
#include "demoworld/GameContainers.h"
#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/DateConstants.h"
#include "exchange/NewDate.h"
#include "exchange/ObjectDefinition.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "platform/FileFinder.h"
#include "render/ImageDecoder.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSet.h"

#include <filesystem>
#include <set>

#include <gtest/gtest.h>

namespace tryster {
namespace {

namespace fs = std::filesystem;
using namespace resfile;

struct CharacterFacts {
    std::vector<std::string> strings;  // list 200, from string 1
    std::string name;
    int constants = 0;
    std::vector<std::uint32_t> identifiers;
    int pictures = 0;
    bool picturesDecode = true;
};

CharacterFacts readFacts(const std::string& path) {
    CharacterFacts f;
    IFFResFile2 file;
    EXPECT_EQ(file.Open(path), kNoError) << path;
    StringSet list;
    EXPECT_EQ(list.Load(&file, exchange::kAppearanceListId, false), kNoError) << path;
    for (int n = 1; n <= list.Count(); ++n) f.strings.push_back(*list.GetString(n));
    exchange::CatalogName catalog;
    EXPECT_EQ(catalog.load(file, exchange::kCatalogNameId), kNoError) << path;
    f.name = catalog.name;
    exchange::cTreeConstants constants;
    EXPECT_EQ(constants.load(file, exchange::kDateConstantsId), kNoError) << path;
    f.constants = constants.count();
    for (std::int16_t i = 1; i <= file.CountResources(exchange::kTypeObjectDefinition); ++i) {
        DataHandle h = file.GetIndResource(exchange::kTypeObjectDefinition, i, nullptr);
        auto id = exchange::readObjectField(handleBytes(h), exchange::kObjectIdentifierOffset, file.IsNativeOrder(h));
        if (id) f.identifiers.push_back(*id);
        (void)ReleaseAndDispose(file, h);
    }
    f.pictures = file.CountResources(exchange::kTypePicture);
    for (std::int16_t i = 1; i <= f.pictures; ++i) {
        DataHandle h = file.GetIndResource(exchange::kTypePicture, i, nullptr);
        render::DecodedImage image;
        f.picturesDecode = f.picturesDecode && render::decodeBmp(handleBytes(h), image);
        (void)ReleaseAndDispose(file, h);
    }
    EXPECT_EQ(file.Close(), kNoError);
    return f;
}

std::vector<std::string> filesIn(std::string_view folder, std::string_view pattern) {
    std::vector<std::string> out;
    for (const std::string& name : platform::findFiles(folder, pattern)) out.push_back(name);
    return out;
}

TEST(DemoCharacters, TheTownieSearchFindsTheBigAdultsOnly) {
    test::InDemoFolder in;
    std::vector<std::string> townies;
    for (const std::string& name : filesIn("UserData\\Characters", "User*.iff")) {
        const std::string path = "UserData\\Characters\\" + name;
        const CharacterFacts f = readFacts(path);
        const bool adult = !f.strings.empty() && (f.strings[0][0] == 'A' || f.strings[0][0] == 'a');
        if (adult && *platform::fileSystem().fileSize(path) >= 58000) townies.push_back(name);
    }
    EXPECT_EQ(townies, (std::vector<std::string>{"User00001.iff", "User00002.iff", "User00006.iff"}));
    EXPECT_EQ(*platform::fileSystem().fileSize("UserData\\Characters\\User00002.iff"), 58000u);
    EXPECT_EQ(*platform::fileSystem().fileSize("UserData\\Characters\\User00003.iff"), 57999u);
    EXPECT_TRUE(platform::fileSystem().exists("UserData\\Neighborhood.iff"));
}

TEST(DemoCharacters, TheDateSearchLeavesOutOnlyTheGenericDate) {
    test::InDemoFolder in;
    std::vector<std::string> dates;
    for (const std::string& name : filesIn("TemplateNPCs", "*.iff"))
        if (name.find("GLM_Generic.iff") == std::string::npos) dates.push_back(name);
    EXPECT_EQ(dates, (std::vector<std::string>{"Date_Jamie.iff", "Date_Quinn.iff", "Date_Rosa.iff", "glm_generic.iff"}));
    // The two names that differ only in letter case are two files.
    EXPECT_NE(readFacts("TemplateNPCs\\glm_generic.iff").name, readFacts("TemplateNPCs\\GLM_Generic.iff").name);
}

// Every character file of the folder, and the program's template.
std::vector<std::string> characterFiles(const std::string& templatePath) {
    std::vector<std::string> out;
    for (const std::string& name : filesIn("UserData\\Characters", "*.iff")) out.push_back("UserData\\Characters\\" + name);
    for (const std::string& name : filesIn("TemplateNPCs", "*.iff")) out.push_back("TemplateNPCs\\" + name);
    out.push_back(templatePath);
    return out;
}

class DemoCharacterFiles : public ::testing::Test {
protected:
    DemoCharacterFiles() {
        std::string error;
        EXPECT_TRUE(demoworld::writeTemplateFile(templatePath, error)) << error;
    }
    test::TempDir dir;
    std::string templatePath = dir.file("TR_Template.iff");
    test::InDemoFolder in;
};

TEST_F(DemoCharacterFiles, HoldWhatTheExportersReadWithIdentifiersOfTheirOwn) {
    std::set<std::uint32_t> identifiers;
    for (const std::string& path : characterFiles(templatePath)) {
        SCOPED_TRACE(path);
        const CharacterFacts f = readFacts(path);
        EXPECT_GE(f.strings.size(), 28u);
        EXPECT_FALSE(f.name.empty());
        EXPECT_GE(f.constants, exchange::kDateConstantCount);
        EXPECT_GE(f.identifiers.size(), 1u);
        for (std::uint32_t id : f.identifiers) EXPECT_TRUE(identifiers.insert(id).second) << std::hex << id;
        EXPECT_GE(f.pictures, 1);
        EXPECT_TRUE(f.picturesDecode);
    }
}

// What a save rewrites (another tone; for adults another build too) still
// names outfits and textures the folder has.
TEST_F(DemoCharacterFiles, EveryRewrittenAppearanceNamesThingsOfTheFolder) {
    anim::CharacterLibrary library(nullptr);
    library.loadCharacterFiles(anim::kCharacterSearchPath);
    auto hasOutfit = [&](std::string_view name) { return library.findOutfit(platform::toLower(name)) != nullptr; };
    auto hasTexture = [](std::string_view name) {
        return platform::FileFinder::instance().find(name, "BMP", anim::kCharacterSearchPath).has_value();
    };
    for (const std::string& path : characterFiles(templatePath)) {
        const CharacterFacts original = readFacts(path);
        const bool adult = original.strings[0][0] == 'A';
        for (std::int32_t tone : {kLight, kMedium, kDark})
            for (std::int32_t body : {kFit, kFat, kSkinny}) {
                if (!adult && body != kFit) continue;
                SCOPED_TRACE(path + " tone " + std::to_string(tone) + " body " + std::to_string(body));
                const std::string copy = dir.file("copy.iff");
                fs::copy_file(platform::resolvePath(path), copy, fs::copy_options::overwrite_existing);
                exchange::Look look;
                look.skinTone = tone;
                look.bodyType = body;
                look.isAdult = adult;
                auto split = [](const std::string& s, std::string& mesh, std::string& texture, std::size_t skip) {
                    mesh = s.substr(0, s.find(','));
                    texture = s.substr(s.find(',') + skip);
                };
                split(original.strings[1], look.appearance.bodyMesh, look.appearance.bodyTexture, 6);
                split(original.strings[2], look.appearance.headMesh, look.appearance.headTexture, 11);
                ASSERT_EQ(exchange::writeAppearanceStrings(copy, look), kNoError);
                const CharacterFacts f = readFacts(copy);
                for (int n : {2, 3, 16, 17, 18, 19, 20, 21, 22, 23, 28}) {
                    const std::string& s = f.strings[static_cast<std::size_t>(n - 1)];
                    const std::size_t comma = s.find(','), equals = s.find('=');
                    ASSERT_NE(equals, std::string::npos) << s;
                    EXPECT_TRUE(hasOutfit(s.substr(0, comma))) << n << ": " << s;
                    EXPECT_TRUE(hasTexture(s.substr(equals + 1))) << n << ": " << s;
                }
            }
    }
}

// The dates are the size the game's are: a townie replaced by one of them,
// or by a date made from the program's template, is still a townie.
TEST_F(DemoCharacterFiles, ATownieReplacedByADateStaysATownie) {
    struct Silent final : exchange::ExchangeReporter {
        void showMessage(std::string_view, std::string_view text) override { ADD_FAILURE() << text; }
        void showStatus(std::string_view) override {}
        void stepProgress() override {}
        void redrawPreview() override {}
    } reporter;
    std::vector<std::string> dates;
    for (const std::string& name : filesIn("TemplateNPCs", "*.iff"))
        dates.push_back(platform::resolvePath("TemplateNPCs\\" + name).string());
    PlomData record;
    record.setGender(kFemale);
    ASSERT_TRUE(exchange::createNewDate(dir.file("New"), templatePath, record, exchange::Look{}, reporter));
    dates.push_back(dir.file("New.iff"));

    const std::string characters = dir.file("Characters");
    const std::string townie = platform::joinPath(characters, "User00002.iff");
    for (const std::string& date : dates) {
        SCOPED_TRACE(date);
        fs::remove_all(characters);
        fs::create_directories(characters);
        fs::copy_file(platform::resolvePath("UserData\\Characters\\User00002.iff"), townie);
        ASSERT_TRUE(exchange::replaceTownie(townie, date, reporter).replaced());
        EXPECT_EQ(exchange::searchTownies(characters), std::vector<std::string>{"User00002.iff"});
    }
}

}  // namespace
}  // namespace tryster
