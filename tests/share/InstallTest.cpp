// Installing a shared date: the round trip from one game folder to
// another, conflicts both ways, a taken identifier, and the game folder as
// it was after a full disk at any step (a power cut at any step:
// tests/cli/PowerCutTest.cpp).

#include "ShareTestSupport.h"
#include "exchange/CharacterReading.h"
#include "share/FileDigest.h"
#include "share/InstallReview.h"
#include "share/Journal.h"
#include "support/EveryFault.h"
#include "support/FaultyFileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::test;

namespace {

class Install : public ::testing::Test {
protected:
    Install() {
        archive = downloads.file("Date_Rosa.zip");
        writeBytes(archive, rosaParts().archive());
    }

    share::SharedDate open() {
        share::SharedDateOpening opened = share::openSharedDate(archive);
        EXPECT_TRUE(opened.date) << opened.problem;
        return std::move(*opened.date);
    }
    share::InstallPlan plan(const share::SharedDate& shared, const GameFolder& game,
                            const share::InstallOptions& options = {}) {
        return share::planInstall(shared, game.path(), options);
    }
    const share::PlannedFile& planned(const share::InstallPlan& p, const std::string& path) {
        for (const share::PlannedFile& f : p.files)
            if (f.path == path) return f;
        throw std::runtime_error("not planned: " + path);
    }

    TempDir downloads;
    std::string archive;
};

TEST_F(Install, PackedOnOneGameFolderTheDateAndItsSkinsArriveInAnotherByteForByte) {
    GameFolder game({"Date_Rosa.iff"});
    const FolderState before = game.state();
    const share::InstallOutcome outcome = installPack(archive, game.path());
    EXPECT_EQ(outcome.written.size(), 9u);
    EXPECT_EQ(outcome.written.back(), "TemplateNPCs\\Date_Rosa.iff");

    const FolderState after = game.state();
    for (const std::string& skin : rosaSkins())
        EXPECT_EQ(after.at("GameData/Skins/" + skin), fileBytes(demoFolder() + "/GameData/Skins/" + skin)) << skin;
    EXPECT_EQ(after.at("TemplateNPCs/Date_Rosa.iff"), fileBytes(demoFolder() + "/TemplateNPCs/Date_Rosa.iff"));
    EXPECT_EQ(differences(after, before).size(), 10u);  // nine files and the ledger
    EXPECT_FALSE(fs::exists(game.file(std::string(share::kJournalFileName))));
}

TEST_F(Install, ADifferingSkinIsKeptUnlessReplacedNamedInAnyLetterCase) {
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    const share::SharedDate shared = open();
    EXPECT_EQ(planned(plan(shared, game), "GameData\\Skins\\c021fa_long.cmx").action, share::FileAction::Keep);
    const share::InstallPlan replace = plan(shared, game, {false, {"gamedata\\skins\\C021FA_LONG.cmx"}});
    EXPECT_EQ(planned(replace, "GameData\\Skins\\c021fa_long.cmx").action, share::FileAction::Replace);
    EXPECT_EQ(planned(replace, "GameData\\Skins\\c021fa_long.cmx").backup, "GameData\\Skins\\c021fa_long.cmx.bak");
}

// What the window shows: a line for every file, the conflicts with the
// player's choice, planned again as the player chooses, and the messages.
TEST_F(Install, TheReviewListsEveryFileAndEachChoiceIsPlannedAgain) {
    GameFolder game({"Date_Rosa.iff"}, {"b006fafit_01.cmx"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    fs::copy_file(demoFolder() + "/TemplateNPCs/Date_Rosa.iff", game.file("TemplateNPCs/Twin.iff"));
    const share::SharedDate shared = open();
    EXPECT_TRUE(share::claimNotices(shared).empty()) << "the pack says what the date says";

    std::vector<share::ConflictChoice> choices = share::conflictChoices(plan(shared, game));
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_FALSE(choices[0].replace) << "the player's file is kept unless the player says";
    EXPECT_EQ(share::replaceChoiceText(choices[0]), "Replace your c021fa_long.cmx");
    choices[0].replace = true;
    const share::InstallPlan replacing = plan(shared, game, share::optionsFor(choices));
    EXPECT_TRUE(share::conflictChoices(replacing).at(0).replace);
    const std::vector<std::string> lines = share::plannedFileLines(replacing);
    ASSERT_EQ(lines.size(), replacing.files.size());
    EXPECT_EQ(lines.front(), "b006fafit_01.cmx (already there)");
    EXPECT_THAT(lines, ::testing::Contains("c021fa_long.cmx (replaces yours, which is kept as c021fa_long.cmx.bak)"));
    EXPECT_EQ(lines.back(), "Date_Rosa.iff (new)");
    EXPECT_EQ(share::installNotices(replacing),
              std::vector<std::string>{"A date of your game has its object identifier already, so it gets a fresh one."});

    const share::InstallOutcome outcome = share::installSharedDate(shared, replacing);
    EXPECT_EQ(share::installOutcomeMessage(shared, outcome),
              "Rosa Marsh is installed: 8 files written, 1 skin of yours kept as a backup.");
    EXPECT_EQ(share::installNotices(plan(shared, game)).front(),
              "It cannot be installed: the date Date_Rosa is already installed (from Date_Rosa.zip); uninstall it first.");
}

// The manifest is the sender's claim; the date file is the truth. A
// female date whose manifest says "Male" and means well is shown as she
// is, and the claims that differ are told, harmless to show.
TEST_F(Install, TheReviewShowsTheDateItselfAndTellsWhatThePackClaimsOtherwise) {
    PackParts lying = rosaParts();
    lying.manifest.name = "Rosa\xE2\x80\xAE" "evil";  // a right-to-left override
    lying.manifest.gender = "Male";
    lying.manifest.description = "A harmless date, I promise";
    writeBytes(archive, lying.archive());
    const share::SharedDate shared = open();
    EXPECT_EQ(share::sharedDateName(shared) + share::sharedDateGender(shared) + share::sharedDateAge(shared),
              "Rosa MarshFemaleAdult");
    EXPECT_EQ(share::sharedDateDescription(shared).find("harmless"), std::string::npos);
    const std::vector<std::string> claims = share::claimNotices(shared);
    ASSERT_EQ(claims.size(), 3u);
    EXPECT_EQ(claims[0], "The pack calls the date \"Rosa\xEF\xBF\xBD" "evil\", but the date's own name is \"Rosa Marsh\".");
    // Installed, the ledger names the date as it is.
    GameFolder game({"Date_Rosa.iff"});
    ASSERT_TRUE(share::installSharedDate(shared, plan(shared, game)).installed);
    EXPECT_EQ(share::loadHistory(game.path()).history->entries.at(0).name, "Rosa Marsh");
}

// A backup name the player already uses is passed over, never overwritten.
TEST_F(Install, ReplacingKeepsTheirFileUnderABackupNameNotYetTaken) {
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx.bak"), {'o', 'l', 'd'});
    const share::InstallOutcome outcome = installPack(archive, game.path(), {true, {}});
    const FolderState after = game.state();
    EXPECT_EQ(after.at("GameData/Skins/c021fa_long.cmx.bak"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(after.at("GameData/Skins/c021fa_long.cmx"), fileBytes(demoFolder() + "/GameData/Skins/c021fa_long.cmx"));
    EXPECT_EQ(after.at("GameData/Skins/c021fa_long.cmx.2.bak"), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(outcome.backups, (std::vector<std::string>{"GameData\\Skins\\c021fa_long.cmx.2.bak"}));
}

TEST_F(Install, ADateWhoseIdentifierIsTakenGetsAFreshOneAndThePlayerIsTold) {
    GameFolder game({"Date_Rosa.iff"});
    fs::copy_file(demoFolder() + "/TemplateNPCs/Date_Rosa.iff", game.file("TemplateNPCs/Twin.iff"));
    const share::SharedDate shared = open();
    const share::InstallPlan p = plan(shared, game);
    ASSERT_TRUE(p.ok()) << p.problem;
    ASSERT_EQ(p.identifierChanges.size(), 2u);
    EXPECT_EQ(p.identifierChanges[0].from, 0x524F5301u);
    EXPECT_EQ(p.identifierChanges[0].takenBy, "Twin.iff");
    ASSERT_TRUE(share::installSharedDate(shared, p).installed);

    share::DateCheck written = share::checkDate(fileBytes(game.file("TemplateNPCs/Date_Rosa.iff")));
    ASSERT_TRUE(written.facts) << written.problem;
    EXPECT_EQ(written.facts->identifiers,
              (std::vector<std::uint32_t>{p.identifierChanges[0].to, p.identifierChanges[1].to}));
    EXPECT_EQ(written.facts->reading.name, "Rosa Marsh");
    // The ledger knows the date as written, so an uninstall still takes it.
    EXPECT_EQ(share::loadHistory(game.path()).history->entries[0].find("TemplateNPCs\\Date_Rosa.iff")->sha256,
              share::fileDigest(game.file("TemplateNPCs/Date_Rosa.iff")));
}

TEST_F(Install, ADateOfTheSameNameIsNeverReplaced) {
    GameFolder game;
    const share::SharedDate shared = open();
    const share::InstallPlan p = plan(shared, game, {true, {}});
    EXPECT_THAT(p.problem, ::testing::HasSubstr("TemplateNPCs\\Date_Rosa.iff is already in the game folder"));
}

TEST_F(Install, AFullDiskAtAnyWriteLeavesTheGameFolderAsItWas) {
    writeBytes(archive, lightRosaParts().archive());
    std::optional<GameFolder> game;  // a fresh one for each run
    const auto fresh = [&] {
        game.emplace(std::vector<std::string>{"Date_Rosa.iff"});
        writeBytes(game->file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    };
    fresh();
    const FolderState before = game->state();
    const share::SharedDate shared = open();
    FaultyFileSystem faulty;
    const ScopedFileSystem scoped(faulty);
    const std::uint64_t writes = forEveryFault(
        faulty, fresh,
        [&](std::uint64_t n) {
            const share::InstallPlan p = plan(shared, *game, {true, {}});
            ASSERT_TRUE(p.ok()) << p.problem;
            const share::InstallOutcome outcome = share::installSharedDate(shared, p);
            if (n == 0) {
                EXPECT_TRUE(outcome.installed) << outcome.problem;
                return;
            }
            EXPECT_FALSE(outcome.installed);
            EXPECT_FALSE(outcome.leftForRecovery) << outcome.problem;
            EXPECT_EQ(differences(game->state(), before), std::vector<std::string>{});
        });
    EXPECT_GE(writes, 10u);  // journal, seven files, a backup, ledger
}

TEST_F(Install, TheDatesLookIsCheckedForSkinsNobodyHas) {
    PackParts parts = rosaParts();
    std::erase_if(parts.files, [](const ArchiveItem& f) { return f.name == "GameData/Skins/c021fa_long.cmx"; });
    parts.describeFiles();
    writeBytes(archive, parts.archive());
    GameFolder game({"Date_Rosa.iff"});
    const share::SharedDate shared = open();
    EXPECT_EQ(plan(shared, game).missingSkins, std::vector<std::string>{"GameData\\Skins\\c021fa_long.cmx"});
}

}  // namespace
