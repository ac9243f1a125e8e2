// The save command's steps without their dialogs.

#include "ExchangeTestSupport.h"
#include "exchange/ExchangeTexts.h"
#include "share/GameChange.h"
#include "exchange/ObjectDefinition.h"
#include "exchange/SaveSequence.h"
#include "exchange/WebExchange.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace tryster;
using namespace tryster::exchange;

namespace {

using Key = std::pair<std::string, std::string>;

struct FakeSnapshots final : PreviewSnapshots {
    std::vector<std::string> takeSnapshots(std::string_view head, std::string_view body) override {
        asked = {std::string(head), std::string(body)};
        for (const std::string& path : asked) std::ofstream(path, std::ios::binary) << "JPG";
        return asked;
    }
    std::vector<std::string> asked;
};

class SaveSequence : public ::testing::Test {
protected:
    SaveSequence() {
        dir.write("game/GameData/Skins/c020fadrk_bob.bmp", "BM");
        dir.write("game/TemplateNPCs/readme.txt", "");
        request.chosenPath = dir.file("game/TemplateNPCs/Bob.srf");
        request.gameFolder = dir.file("game");
        request.templatePath = test::makeTemplate(dir);
    }
    SaveResult run(PreviewSnapshots* snapshots = nullptr) {
        share::GameChange placement("", share::ChangeKind::NewDate);
        return runSaveSequence(request, character, skinFiles, reporter, snapshots, placement);
    }

    test::TempDir dir;
    test::FixedClock clock;
    test::RecordingReporter reporter;
    SkinFileList skinFiles;
    SaveRequest request;
    Character character = test::sampleCharacter();
};

TEST_F(SaveSequence, RunsEveryStepInOrder) {
    FakeSnapshots snapshots;
    SaveResult result = run(&snapshots);
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(
        reporter.statuses,
        (std::vector<std::string>{"Creating Web Export Data...", "Building Skin List...",
                                  "Writing Skin List...", "Creating New Date Plom...",
                                  "Setting New Date Plom's Name...", "Injecting Date Plom's New DNA...",
                                  "Setting New Date Plom's Skin...", "Taking Snap Shots...", "Finished!"}));
    EXPECT_EQ(reporter.steps, kSaveProgressSteps);
    EXPECT_EQ(reporter.redraws, kSaveProgressSteps);

    const std::string base = dir.file("game/TemplateNPCs/Bob");
    // Taken under staged names beside their targets, put in place with the rest.
    ASSERT_EQ(snapshots.asked.size(), 2u);
    EXPECT_TRUE(snapshots.asked[0].starts_with(base + "head.jpg") && snapshots.asked[1].starts_with(base + "body.jpg"));
    EXPECT_EQ(test::filesIn(dir.file("game/TemplateNPCs")),
              (std::vector<std::string>{"Bob.iff", "Bob.srf", "Bobbody.jpg", "Bobhead.jpg", "readme.txt"}));
    EXPECT_TRUE(result.webExchangeWritten);
    EXPECT_TRUE(result.dateWritten);
    EXPECT_EQ(result.filesWritten,
              (std::vector<std::string>{base + ".srf", base + ".iff", base + "head.jpg", base + "body.jpg"}));

    auto keys = readWebExchangeKeys(base + ".srf");
    ASSERT_TRUE(keys);
    ASSERT_EQ(keys->size(), 29u);
    EXPECT_EQ(keys->front().first, "Sign");
    EXPECT_EQ((*keys)[27], Key("SkinFileCount", "1"));
    EXPECT_EQ((*keys)[28].second, "GameData\\Skins\\c020fadrk_bob.bmp");
    EXPECT_EQ(dir.read("game/TemplateNPCs/readme.txt"), "");
}

TEST_F(SaveSequence, TheSkinListNamesFilesUnderTheGamesWindowsPathWhereItHasOne) {
    request.gameFolderAsGameKnows = "C:\\Program Files\\Orvel\\The Ploms";
    ASSERT_TRUE(run().webExchangeWritten);
    auto keys = readWebExchangeKeys(dir.file("game/TemplateNPCs/Bob.srf"));
    ASSERT_TRUE(keys);
    EXPECT_EQ((*keys)[28], Key("SkinFile1", "C:\\Program Files\\Orvel\\The Ploms\\GameData\\Skins\\c020fadrk_bob.bmp"));
}

// Files are named in UTF-8 on disk and the game names them in its code
// page: the date's object takes its file's name, and the skin list the
// texture's, in the game's bytes; a name the code page cannot hold makes
// no date.
TEST_F(SaveSequence, NamesWithAccentsReachTheGameInItsCodePage) {
    dir.write("game/GameData/Skins/c020fadrk_bob\xC3\xA9.bmp", "BM");  // "...bobé.bmp"
    character.appearance.headTexture = "c020fadrk_bob\xE9";
    request.chosenPath = dir.file("game/TemplateNPCs/Zo\xC3\xAB\xE2\x82\xAC.srf");  // "Zoë€.srf"
    ASSERT_TRUE(run().dateWritten);
    auto keys = readWebExchangeKeys(dir.file("game/TemplateNPCs/Zo\xC3\xAB\xE2\x82\xAC.srf"));
    ASSERT_TRUE(keys);
    EXPECT_EQ((*keys)[28].second, "GameData\\Skins\\c020fadrk_bob\xE9.bmp");
    resfile::IFFResFile2 date;
    ASSERT_EQ(date.Open(dir.file("game/TemplateNPCs/Zo\xC3\xAB\xE2\x82\xAC.iff")), resfile::kNoError);
    resfile::DataHandle object = date.GetIndResource(kTypeObjectDefinition, 1, nullptr);
    std::string name;
    ASSERT_TRUE(object && date.GetResName(object, name) == resfile::kNoError);
    EXPECT_EQ(name, "Zo\xEB\x80.iff");
    (void)date.Close();

    reporter.messages.clear();
    request.chosenPath = dir.file("game/TemplateNPCs/\xC5\x81ukasz.srf");  // "Łukasz.srf"
    EXPECT_FALSE(run().dateWritten);
    EXPECT_EQ(reporter.messageTexts(), (std::vector<std::string>{std::string(kCouldNotCreateMessage)}));
    EXPECT_FALSE(dir.exists("game/TemplateNPCs/\xC5\x81ukasz.iff"));
}

TEST_F(SaveSequence, TheBasePathDropsTheExtensionAndAnEmptyNameIsRefused) {
    EXPECT_EQ(basePathOf("/g/Bob.srf"), "/g/Bob");
    EXPECT_EQ(basePathOf("/g/Bob.jpeg"), "/g/Bob") << "not four characters: the extension still goes";
    EXPECT_EQ(basePathOf("/g/Bob"), "/g/Bob") << "nothing cut out of a name without one";
    EXPECT_EQ(basePathOf("/g.d/ab"), "/g.d/ab") << "a dot in the folder is no extension";
    EXPECT_EQ(basePathOf("/g/Bob.tar.srf"), "/g/Bob.tar");

    request.chosenPath = dir.file("game/TemplateNPCs/.srf");
    SaveResult result = run();
    EXPECT_FALSE(result.dateWritten);
    EXPECT_FALSE(result.webExchangeWritten);
    EXPECT_EQ(reporter.messageTexts(), (std::vector<std::string>{std::string(kNoFileNameMessage)}));
    EXPECT_TRUE(reporter.statuses.empty()) << "nothing was started";
    EXPECT_FALSE(dir.exists("game/TemplateNPCs/.iff"));

    reporter.clear();
    request.chosenPath = dir.file("game/TemplateNPCs");
    result = run();
    EXPECT_FALSE(result.dateWritten);
    EXPECT_EQ(reporter.messageTexts(), (std::vector<std::string>{std::string(kFolderChosenMessage)}));
    EXPECT_FALSE(dir.exists("game/TemplateNPCs.iff")) << "a folder is no file name";
}

TEST_F(SaveSequence, AFailedStepShowsItsMessageAndTheRestRuns) {
    request.templatePath = dir.file("missing.iff");
    SaveResult result = run();
    EXPECT_TRUE(result.webExchangeWritten);
    EXPECT_FALSE(result.dateWritten);
    EXPECT_EQ(reporter.messageTexts(), (std::vector<std::string>{std::string(kCouldNotCreateMessage)}));
    EXPECT_EQ(reporter.statuses.back(), kFinishedStatus);
    EXPECT_EQ(reporter.statuses.size(), 6u);
}

TEST_F(SaveSequence, AFullDiskKeepsTheEarlierFiles) {
    dir.write("game/TemplateNPCs/Bob.srf", "earlier export");
    dir.write("game/TemplateNPCs/Bob.iff", "earlier date");
    test::FaultyFileSystem faulty;
    faulty.failFrom = 1;
    test::ScopedFileSystem scoped(faulty);
    SaveResult result = run();
    EXPECT_TRUE(result.filesWritten.empty());
    EXPECT_EQ(reporter.messageTexts(), (std::vector<std::string>{std::string(kCouldNotExportMessage),
                                                                 std::string(kCouldNotCreateMessage)}));
    EXPECT_EQ(dir.read("game/TemplateNPCs/Bob.srf"), "earlier export");
    EXPECT_EQ(dir.read("game/TemplateNPCs/Bob.iff"), "earlier date");
    EXPECT_EQ(platform::fileSystem().list(dir.file("game/TemplateNPCs")).size(), 3u);
}

}  // namespace
