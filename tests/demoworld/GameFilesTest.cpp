// The demo folder's character files, the neighbourhood and the program's
// template: the townie and date searches find what they should, and every
// file holds what the exporters read.

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

// One adult is a byte short of a townie; the generic date comes in two
// letter cases, and only the game's own spelling is left out.
TEST(DemoCharacters, TheTownieAndDateSearchesFindWhatTheFolderIsMadeFor) {
    test::InDemoFolder in;
    EXPECT_EQ(exchange::searchTownies("UserData\\Characters"),
              (std::vector<std::string>{"User00001.iff", "User00002.iff", "User00006.iff"}));
    EXPECT_EQ(exchange::searchDates("."),
              (std::vector<std::string>{"Date_Jamie.iff", "Date_Quinn.iff", "Date_Rosa.iff", "glm_generic.iff"}));
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
