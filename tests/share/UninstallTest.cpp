// Taking installed dates back (the undo of the install): two dates that
// share a skin, in either order, leave the game folder byte for byte as it
// began, apart from the history; a file the player changed refuses the
// undo, or is kept as a backup when asked; a failed restore keeps its
// backup; duties pass between dates that replaced the same file; a
// tampered history is refused.

#include "ShareTestSupport.h"
#include "share/Journal.h"
#include "share/Recovery.h"
#include "share/Undo.h"
#include "support/FaultyFileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::test;

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// The history stays after an undo: it lists the change and its undo.
const std::vector<std::string> kHistoryOnly{std::string(share::kHistoryFileName)};

class Uninstall : public ::testing::Test {
protected:
    Uninstall() { writeBytes(rosa, rosaParts().archive()); }

    static share::History history(const GameFolder& game) {
        share::HistoryReading reading = share::loadHistory(game.path());
        EXPECT_TRUE(reading.history) << reading.problem;
        return reading.history.value_or(share::History{});
    }
    static std::int64_t installId(const GameFolder& game, const std::string& name) {
        const share::History h = history(game);
        const share::InstalledDate found = share::findInstalledDate(h, name);
        EXPECT_TRUE(found.entry) << found.problem;
        return found.entry ? found.entry->id : 0;
    }
    static share::UndoOutcome uninstall(const GameFolder& game, const std::string& name, bool keepCurrent = false) {
        share::UndoOutcome outcome = share::undoChange(game.path(), installId(game, name), keepCurrent);
        EXPECT_TRUE(outcome.done) << outcome.problem;
        return outcome;
    }

    // Mia's pack: Rosa's body with Quinn's head.
    static void makeMia(const std::string& mia) {
        PackParts parts = rosaParts();
        std::erase_if(parts.files, [](const ArchiveItem& f) { return f.name.find("021fa") != std::string::npos; });
        parts.file("TemplateNPCs/Date_Rosa.iff").name = "TemplateNPCs/Mia.iff";
        for (const std::string skin : {"c022fa_bob.cmx", "xskin-c022fa_bob-HEAD-HEAD.skn", "C022famed_red.bmp"})
            parts.files.push_back(
                ArchiveItem::file("GameData/Skins/" + skin, fileBytes(demoFolder() + "/GameData/Skins/" + skin)));
        parts.describeFiles();
        writeBytes(mia, parts.archive());
    }

    TempDir downloads;
    const std::string rosa = downloads.file("rosa.zip");
};

TEST_F(Uninstall, TwoDatesSharingASkinLeaveTheFolderAsItBeganInEitherOrder) {
    const std::string mia = downloads.file("mia.zip");
    makeMia(mia);
    for (bool rosaFirst : {true, false}) {
        SCOPED_TRACE(rosaFirst ? "Rosa taken back first" : "Mia taken back first");
        GameFolder game({"Date_Rosa.iff"}, {"xskin-b006fafit_01-BODY.skn"});
        const FolderState before = game.state();
        installPack(rosa, game.path());
        const share::InstallOutcome second = installPack(mia, game.path());
        // Mia's body skins are Rosa's: already there, shared.
        EXPECT_THAT(second.written, Not(Contains("GameData\\Skins\\b006fafit_01.cmx")));

        const share::UndoOutcome first = uninstall(game, rosaFirst ? "Date_Rosa" : "Mia");
        EXPECT_TRUE(game.state().count("GameData/Skins/b006fafit_01.cmx")) << "a skin the other date uses stays";
        if (rosaFirst) {
            EXPECT_THAT(first.notes, Contains(StartsWith("GameData\\Skins\\b006fafit_01.cmx stays: the change 2 (")));
        }
        uninstall(game, rosaFirst ? "Mia" : "Date_Rosa");
        EXPECT_EQ(differences(game.state(), before), kHistoryOnly);
    }
}

TEST_F(Uninstall, AFileThePlayerChangedRefusesTheUndoOrIsKeptAsABackup) {
    GameFolder game({"Date_Rosa.iff"});
    const FolderState before = game.state();
    installPack(rosa, game.path());
    const std::vector<std::uint8_t> mine{'B', 'M', '!'};
    writeBytes(game.file("GameData/Skins/C021famed_blnd.bmp"), mine);
    const FolderState changed = game.state();
    const std::int64_t id = installId(game, "Rosa Marsh");

    const share::UndoOutcome refused = share::undoChange(game.path(), id, false);
    EXPECT_FALSE(refused.done);
    EXPECT_THAT(refused.problem, HasSubstr("GameData\\Skins\\C021famed_blnd.bmp was changed outside Tryster"));
    EXPECT_EQ(differences(game.state(), changed), std::vector<std::string>{}) << "nothing touched";

    const share::UndoOutcome outcome = uninstall(game, "Rosa Marsh", true);
    EXPECT_EQ(outcome.removed.size(), 9u);
    EXPECT_EQ(outcome.kept, std::vector<std::string>{"GameData\\Skins\\C021famed_blnd.bmp.bak"});
    EXPECT_EQ(fileBytes(game.file("GameData/Skins/C021famed_blnd.bmp.bak")), mine);
    EXPECT_EQ(differences(game.state(), before),
              (std::vector<std::string>{"GameData/Skins/C021famed_blnd.bmp.bak", kHistoryOnly[0]}));
}

// The real files, but a backup cannot be moved back.
class BackupsStay final : public test::PassThroughFileSystem {
public:
    bool rename(std::string_view from, std::string_view to) override {
        return !from.ends_with(".bak") && real().rename(from, to);
    }
};

TEST_F(Uninstall, AFailedRestoreKeepsTheBackupAndTheEntryToTryAgain) {
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    const FolderState before = game.state();
    installPack(rosa, game.path(), {true, {}});
    {
        BackupsStay failing;
        const ScopedFileSystem scoped(failing);
        const share::UndoOutcome outcome = share::undoChange(game.path(), installId(game, "Date_Rosa"), false);
        EXPECT_FALSE(outcome.done);
        EXPECT_EQ(outcome.removed.size(), 8u);
        EXPECT_THAT(outcome.notes, Contains("could not restore GameData\\Skins\\c021fa_long.cmx; the file it replaced is "
                                            "kept at GameData\\Skins\\c021fa_long.cmx.bak"));
    }
    EXPECT_EQ(fileBytes(game.file("GameData/Skins/c021fa_long.cmx.bak")), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    const share::History ledger = history(game);
    ASSERT_NE(ledger.entry(1), nullptr);
    EXPECT_TRUE(ledger.entry(1)->undoable()) << "the install stays, to try again";
    EXPECT_EQ(ledger.entry(1)->files.size(), 1u);

    uninstall(game, "Date_Rosa");
    EXPECT_EQ(differences(game.state(), before), kHistoryOnly);
}

// Two installs that replaced one file: the earlier one is refused while
// the later one stands, naming it, and nothing is touched; newest first,
// the player's file comes back byte for byte.
TEST_F(Uninstall, TwoDatesThatReplacedOneFileAreTakenBackNewestFirst) {
    const std::string other = downloads.file("other.zip");
    PackParts parts = rosaParts();
    parts.file("TemplateNPCs/Date_Rosa.iff").name = "TemplateNPCs/Date_Other.iff";
    parts.file("GameData/Skins/c021fa_long.cmx").bytes = fileBytes(demoFolder() + "/GameData/Skins/c022fa_bob.cmx");
    parts.describeFiles();
    writeBytes(other, parts.archive());
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    const FolderState before = game.state();
    installPack(rosa, game.path(), {true, {}});
    installPack(other, game.path(), {true, {}});
    EXPECT_TRUE(fs::exists(game.file("GameData/Skins/c021fa_long.cmx.2.bak")));
    const FolderState installed = game.state();

    const share::UndoOutcome refused = share::undoChange(game.path(), installId(game, "Date_Rosa"), true);
    EXPECT_FALSE(refused.done);
    EXPECT_TRUE(refused.problem.starts_with("the change 2 (")) << refused.problem;
    EXPECT_EQ(differences(game.state(), installed), std::vector<std::string>{}) << "nothing touched";

    uninstall(game, "Date_Other");
    uninstall(game, "Date_Rosa");
    EXPECT_EQ(differences(game.state(), before), kHistoryOnly);
}

// A forget cut short after the history took the result: the next run
// removes the backups it no longer needed, but not one another change needs.
TEST_F(Uninstall, TheNextRunRemovesOnlyBackupsNoChangeNeeds) {
    writeBytes(rosa, lightRosaParts().archive());
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    installPack(rosa, game.path(), {true, {}});
    writeBytes(game.file("GameData/Skins/old.cmx.bak"), {'o', 'l', 'd'});
    share::Journal journal;
    journal.operation = share::Journal::Operation::Forget;
    journal.target = 99;  // a change since taken out of the history
    journal.entry = share::loadHistory(game.path()).history->entries[0];
    journal.obsoleteBackups = {"GameData\\Skins\\old.cmx.bak", "GameData\\Skins\\c021fa_long.cmx.bak"};
    ASSERT_TRUE(share::writeJournal(game.path(), journal));
    EXPECT_TRUE(share::recoverInterrupted(game.path()).clean);
    EXPECT_FALSE(fs::exists(game.file("GameData/Skins/old.cmx.bak")));
    EXPECT_TRUE(fs::exists(game.file("GameData/Skins/c021fa_long.cmx.bak"))) << "Rosa's install needs it";
}

TEST_F(Uninstall, AHistoryNamingFilesNoPackMayWriteIsRefusedAndNothingRemoved) {
    GameFolder game;
    const FolderState before = game.state();
    const std::string digest = formats::sha256Hex(fileBytes(game.file("TemplateNPCs/Date_Jamie.iff")));
    for (const std::string& path : {std::string("TemplateNPCs\\\\..\\\\TemplateNPCs\\\\Date_Jamie.iff"),
                                    std::string("UserData\\\\Neighborhood.iff"), std::string("/etc/passwd")}) {
        SCOPED_TRACE(path);
        const std::string ledger = R"({"format": "tryster-ledger", "version": 1, "installs": [
            {"date": "Evil", "name": "", "pack": "", "files": [
              {"path": ")" + path + R"(", "role": "added", "sha256": ")" + digest + R"("}]}]})";
        writeBytes(game.file(std::string(share::kHistoryFileName)), std::vector<std::uint8_t>(ledger.begin(), ledger.end()));
        const share::UndoOutcome refused = share::undoChange(game.path(), 1, true);
        EXPECT_FALSE(refused.done);
        EXPECT_THAT(refused.problem, HasSubstr("names a file outside the game folder"));
        fs::remove(game.file(std::string(share::kHistoryFileName)));
        EXPECT_EQ(differences(game.state(), before), std::vector<std::string>{});
    }
}

}  // namespace

namespace {

// A journal that cannot be read blocks installs and uninstalls alike; the
// player is told what it names, and it is set aside, kept, only when asked.
TEST(DamagedJournal, IsExplainedListedAndSetAsideKeptOnlyWhenAsked) {
    GameFolder game({"Date_Rosa.iff"});
    EXPECT_EQ(share::findInstalledDate(share::History{}, "").problem, share::kNoDateNamed) << "an empty name names no date";
    const std::string cut = "{\"format\": \"tryster-ledger-journal\", \"record\": {\"files\": [{\"path\": "
                            "\"GameData\\\\Skins\\\\b006fafit_01.cmx\", \"sha256\": \"12";
    const std::vector<std::uint8_t> bytes(cut.begin(), cut.end());
    writeBytes(game.file(std::string(share::kJournalFileName)), bytes);
    const FolderState before = game.state();
    const share::RecoveryOutcome found = share::recoverInterrupted(game.path());
    EXPECT_TRUE(!found.clean && found.damagedJournal);
    EXPECT_EQ(found.journalListing, std::vector<std::string>{"GameData\\Skins\\b006fafit_01.cmx"});
    EXPECT_THAT(share::damagedJournalMeaning(found),
                HasSubstr("nothing can be changed in the game folder until it is set aside"));
    EXPECT_TRUE(differences(game.state(), before).empty()) << "looking changes nothing";

    EXPECT_EQ(share::setJournalAside(game.path()), "TrysterLedger.journal.damaged.json");
    EXPECT_TRUE(share::recoverInterrupted(game.path()).clean);
    // A second one goes beside the first, which stays as it was.
    writeBytes(game.file(std::string(share::kJournalFileName)), {'{'});
    EXPECT_EQ(share::setJournalAside(game.path()), "TrysterLedger.journal.damaged-2.json");
    EXPECT_EQ(fileBytes(game.file("TrysterLedger.journal.damaged.json")), bytes);
}

}  // namespace
