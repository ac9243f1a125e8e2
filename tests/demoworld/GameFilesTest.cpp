// The demo folder's dates and the program's template, put in the place of
// one of the demo neighbourhood's townies.

#include "DemoFolder.h"

#include "demoworld/GameContainers.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "share/GameChange.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "platform/FileFinder.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace tryster {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(std::string_view folder, std::string_view pattern) {
    std::vector<std::string> out;
    for (const std::string& name : platform::findFiles(folder, pattern)) out.push_back(name);
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

// The dates are the size the game's are: a townie replaced by one of them,
// or by a date made from the program's template, is still a townie.
TEST_F(DemoCharacterFiles, ATownieReplacedByADateStaysATownie) {
    struct Silent final : exchange::ExchangeReporter {
        void showMessage(std::string_view caption, std::string_view text) override {
            if (caption != exchange::kReplaceCompleteCaption) ADD_FAILURE() << text;
        }
        void showStatus(std::string_view) override {}
        void stepProgress() override {}
        void redrawPreview() override {}
    } reporter;
    std::vector<std::string> dates;
    for (const std::string& name : filesIn("TemplateNPCs", "*.iff"))
        dates.push_back(platform::resolvePath("TemplateNPCs\\" + name).string());
    Character made;
    made.record.setGender(kFemale);
    share::GameChange placement("", share::ChangeKind::NewDate);
    ASSERT_TRUE(exchange::createNewDate(dir.file("New"), templatePath, made, reporter, placement));
    dates.push_back(dir.file("New.iff"));

    const std::string characters = dir.file("Characters");
    const std::string townie = platform::joinPath(characters, "User00002.iff");
    for (const std::string& date : dates) {
        SCOPED_TRACE(date);
        fs::remove_all(characters);
        fs::create_directories(characters);
        fs::copy_file(platform::resolvePath("UserData\\Characters\\User00002.iff"), townie);
        share::GameChange replacement("", share::ChangeKind::TownieReplaced);
        ASSERT_TRUE(exchange::replaceTownie(townie, date, reporter, replacement).replaced());
        EXPECT_EQ(exchange::searchTownies(characters), std::vector<std::string>{"User00002.iff"});
    }
}

}  // namespace
}  // namespace tryster
