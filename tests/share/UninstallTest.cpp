// Taking installed dates back: two dates that share a skin, in either
// order, leave the game folder byte for byte as it began; a file the
// player changed survives; a failed restore keeps its backup; duties pass
// between dates that replaced the same file; a tampered ledger is refused.

#include "ShareTestSupport.h"
#include "share/Installer.h"
#include "share/Journal.h"
#include "share/Recovery.h"
#include "share/SharedDate.h"
#include "share/Uninstall.h"
#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

using namespace tryster;
using namespace tryster::test;

namespace {

class Uninstall : public ::testing::Test {
protected:
    // Installs the pack at `archive` into `game`.
    static share::InstallOutcome install(const std::string& archive, const GameFolder& game, bool replaceSkins = false) {
        share::SharedDateOpening opened = share::openSharedDate(archive);
        EXPECT_TRUE(opened.date) << opened.problem;
        if (!opened.date) return {};
        share::InstallOptions options;
        options.replaceSkins = replaceSkins;
        const share::InstallPlan plan = share::planInstall(*opened.date, game.path(), options);
        EXPECT_TRUE(plan.ok()) << plan.problem;
        share::InstallOutcome outcome = share::installSharedDate(*opened.date, plan);
        EXPECT_TRUE(outcome.installed) << outcome.problem;
        return outcome;
    }
    static share::UninstallOutcome uninstall(const GameFolder& game, const std::string& name) {
        const share::UninstallPlan plan = share::planUninstall(game.path(), name);
        EXPECT_TRUE(plan.ok()) << plan.problem;
        share::UninstallOutcome outcome = share::uninstallSharedDate(plan);
        EXPECT_TRUE(outcome.done) << outcome.problem;
        return outcome;
    }

    // Rosa's pack, and Mia's: a new date wearing Rosa's body and Quinn's head.
    static void makePacks(const std::string& rosa, const std::string& mia) {
        writeBytes(rosa, rosaParts().archive());
        GameFolder source;
        for (const std::string& skin : rosaSkins()) source.copySkin(skin);
        for (const char* skin : {"c022fa_bob.cmx", "xskin-c022fa_bob-HEAD-HEAD.skn", "C022famed_red.bmp"})
            source.copySkin(skin);
        Appearance look;
        look.bodyMesh = "b006fafit_01";
        look.bodyTexture = "B006FAFitmed_dots";
        look.headMesh = "c022fa_bob";
        look.headTexture = "C022famed_red";
        makeDate(source.path(), "Mia", look);
        pack(source.path(), source.file("TemplateNPCs/Mia.iff"), mia);
    }

    TempDir downloads;
};

TEST_F(Uninstall, TwoDatesSharingASkinLeaveTheFolderAsItBeganInEitherOrder) {
    const std::string rosa = downloads.file("rosa.zip");
    const std::string mia = downloads.file("mia.zip");
    makePacks(rosa, mia);
    for (bool rosaFirst : {true, false}) {
        SCOPED_TRACE(rosaFirst ? "Rosa taken back first" : "Mia taken back first");
        GameFolder game({"Date_Rosa.iff"}, {"xskin-b006fafit_01-BODY.skn"});
        const FolderState before = game.state();
        install(rosa, game);
        const share::InstallOutcome second = install(mia, game);
        // Mia's body skins are Rosa's: already there, shared.
        EXPECT_EQ(std::count(second.written.begin(), second.written.end(), "GameData\\Skins\\b006fafit_01.cmx"), 0);
        const share::Ledger ledger = *share::loadLedger(game.path()).ledger;
        EXPECT_EQ(ledger.records[1].find("GameData\\Skins\\b006fafit_01.cmx")->role, share::LedgerRole::Shared);
        // The player's own mesh was there before either: neither records it.
        EXPECT_FALSE(ledger.records[0].find("GameData\\Skins\\xskin-b006fafit_01-BODY.skn"));

        const share::UninstallOutcome first = uninstall(game, rosaFirst ? "Date_Rosa" : "Mia");
        const FolderState between = game.state();
        EXPECT_TRUE(between.count("GameData/Skins/b006fafit_01.cmx")) << "a skin the other date uses stays";
        if (rosaFirst) {
            EXPECT_NE(std::find(first.notes.begin(), first.notes.end(),
                                "GameData\\Skins\\b006fafit_01.cmx stays: the date Mia uses it"),
                      first.notes.end());
        }
        uninstall(game, rosaFirst ? "Mia" : "Date_Rosa");
        EXPECT_EQ(differences(game.state(), before), std::vector<std::string>{});
    }
}

TEST_F(Uninstall, AFileThePlayerChangedIsKeptAndReported) {
    const std::string rosa = downloads.file("rosa.zip");
    writeBytes(rosa, rosaParts().archive());
    GameFolder game({"Date_Rosa.iff"});
    install(rosa, game);
    writeBytes(game.file("GameData/Skins/C021famed_blnd.bmp"), {'B', 'M', '!'});
    const share::UninstallPlan plan = share::planUninstall(game.path(), "Rosa Marsh");
    ASSERT_TRUE(plan.ok()) << plan.problem;
    const share::UninstallOutcome outcome = share::uninstallSharedDate(plan);
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(outcome.removed.size(), 8u);
    EXPECT_EQ(outcome.notes,
              std::vector<std::string>{"GameData\\Skins\\C021famed_blnd.bmp was changed after the install and is kept"});
    EXPECT_EQ(fileBytes(game.file("GameData/Skins/C021famed_blnd.bmp")), (std::vector<std::uint8_t>{'B', 'M', '!'}));
    EXPECT_FALSE(fs::exists(game.file(std::string(share::kLedgerFileName))));
}

// The real files, but a backup cannot be moved back.
class BackupsStay final : public test::PassThroughFileSystem {
public:
    bool rename(std::string_view from, std::string_view to) override {
        return !from.ends_with(".bak") && real().rename(from, to);
    }
};

TEST_F(Uninstall, AFailedRestoreKeepsTheBackupAndTheEntryToTryAgain) {
    const std::string rosa = downloads.file("rosa.zip");
    writeBytes(rosa, rosaParts().archive());
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    const FolderState before = game.state();
    install(rosa, game, true);
    {
        BackupsStay failing;
        const ScopedFileSystem scoped(failing);
        const share::UninstallOutcome outcome = uninstall(game, "Date_Rosa");
        EXPECT_EQ(outcome.removed.size(), 8u);
        EXPECT_NE(std::find(outcome.notes.begin(), outcome.notes.end(),
                            "could not restore GameData\\Skins\\c021fa_long.cmx; the file it replaced is kept at "
                            "GameData\\Skins\\c021fa_long.cmx.bak"),
                  outcome.notes.end());
    }
    EXPECT_EQ(fileBytes(game.file("GameData/Skins/c021fa_long.cmx.bak")), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    const share::Ledger ledger = *share::loadLedger(game.path()).ledger;
    ASSERT_EQ(ledger.records.size(), 1u);
    EXPECT_EQ(ledger.records[0].files.size(), 1u);

    uninstall(game, "Date_Rosa");
    EXPECT_EQ(differences(game.state(), before), std::vector<std::string>{});
}

TEST_F(Uninstall, TwoDatesThatReplacedOneFileGiveThePlayersFileBackInEitherOrder) {
    const std::string rosa = downloads.file("rosa.zip");
    const std::string other = downloads.file("other.zip");
    writeBytes(rosa, rosaParts().archive());
    PackParts parts = rosaParts();
    parts.file("TemplateNPCs/Date_Rosa.iff").name = "TemplateNPCs/Date_Other.iff";
    parts.file("GameData/Skins/c021fa_long.cmx").bytes = fileBytes(demoGame() + "/GameData/Skins/c022fa_bob.cmx");
    parts.describeFiles();
    writeBytes(other, parts.archive());
    for (bool rosaFirst : {true, false}) {
        SCOPED_TRACE(rosaFirst ? "Rosa taken back first" : "Other taken back first");
        GameFolder game({"Date_Rosa.iff"});
        writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
        const FolderState before = game.state();
        install(rosa, game, true);
        install(other, game, true);
        EXPECT_TRUE(fs::exists(game.file("GameData/Skins/c021fa_long.cmx.2.bak")));
        uninstall(game, rosaFirst ? "Date_Rosa" : "Date_Other");
        uninstall(game, rosaFirst ? "Date_Other" : "Date_Rosa");
        EXPECT_EQ(differences(game.state(), before), std::vector<std::string>{});
    }
}

// An uninstall cut short after the ledger took the result: the next run
// removes the backups it no longer needed, but not one another date needs.
TEST_F(Uninstall, TheNextRunRemovesOnlyBackupsNoDateNeeds) {
    const std::string rosa = downloads.file("rosa.zip");
    writeBytes(rosa, lightRosaParts().archive());
    GameFolder game({"Date_Rosa.iff"});
    writeBytes(game.file("GameData/Skins/c021fa_long.cmx"), {'m', 'i', 'n', 'e'});
    install(rosa, game, true);
    writeBytes(game.file("GameData/Skins/old.cmx.bak"), {'o', 'l', 'd'});
    share::Journal journal;
    journal.operation = share::Journal::Operation::Uninstall;
    journal.record.date = "Date_Gone";
    journal.obsoleteBackups = {"GameData\\Skins\\old.cmx.bak", "GameData\\Skins\\c021fa_long.cmx.bak"};
    ASSERT_TRUE(share::writeJournal(game.path(), journal));
    EXPECT_TRUE(share::recoverInterrupted(game.path()).clean);
    EXPECT_FALSE(fs::exists(game.file("GameData/Skins/old.cmx.bak")));
    EXPECT_TRUE(fs::exists(game.file("GameData/Skins/c021fa_long.cmx.bak"))) << "Rosa's uninstall needs it";
}

TEST_F(Uninstall, ALedgerNamingFilesNoPackMayWriteIsRefusedAndNothingRemoved) {
    GameFolder game;
    const FolderState before = game.state();
    const std::string digest = formats::sha256Hex(fileBytes(game.file("TemplateNPCs/Date_Jamie.iff")));
    for (const std::string& path : {std::string("TemplateNPCs\\\\..\\\\TemplateNPCs\\\\Date_Jamie.iff"),
                                    std::string("UserData\\\\Neighborhood.iff"), std::string("/etc/passwd")}) {
        SCOPED_TRACE(path);
        const std::string ledger = R"({"format": "tryster-ledger", "version": 1, "installs": [
            {"date": "Evil", "name": "", "pack": "", "files": [
              {"path": ")" + path + R"(", "role": "added", "sha256": ")" + digest + R"("}]}]})";
        writeBytes(game.file(std::string(share::kLedgerFileName)), std::vector<std::uint8_t>(ledger.begin(), ledger.end()));
        const share::UninstallPlan plan = share::planUninstall(game.path(), "Evil");
        EXPECT_NE(plan.problem.find("record of installed dates"), std::string::npos) << plan.problem;
        fs::remove(game.file(std::string(share::kLedgerFileName)));
        EXPECT_EQ(differences(game.state(), before), std::vector<std::string>{});
    }
}

}  // namespace

namespace {

// A journal that cannot be read blocks installs and uninstalls alike; the
// player is told what it names, and it is set aside, kept, only when asked.
TEST(DamagedJournal, IsExplainedListedAndSetAsideKeptOnlyWhenAsked) {
    GameFolder game({"Date_Rosa.iff"});
    EXPECT_EQ(share::planUninstall(game.path(), "").problem, share::kNoDateNamed) << "an empty name names no date";
    const std::string cut = "{\"format\": \"tryster-ledger-journal\", \"record\": {\"files\": [{\"path\": "
                            "\"GameData\\\\Skins\\\\b006fafit_01.cmx\", \"sha256\": \"12";
    const std::vector<std::uint8_t> bytes(cut.begin(), cut.end());
    writeBytes(game.file(std::string(share::kJournalFileName)), bytes);
    const FolderState before = game.state();
    const share::RecoveryOutcome found = share::recoverInterrupted(game.path());
    EXPECT_TRUE(!found.clean && found.damagedJournal);
    EXPECT_EQ(found.journalListing, std::vector<std::string>{"GameData\\Skins\\b006fafit_01.cmx"});
    EXPECT_NE(share::damagedJournalMeaning(found).find("no date can be installed or uninstalled until it is set aside"),
              std::string::npos);
    EXPECT_TRUE(differences(game.state(), before).empty()) << "looking changes nothing";

    EXPECT_EQ(share::setJournalAside(game.path()), "TrysterLedger.journal.damaged.json");
    EXPECT_TRUE(share::recoverInterrupted(game.path()).clean);
    // A second one goes beside the first, which stays as it was.
    writeBytes(game.file(std::string(share::kJournalFileName)), {'{'});
    EXPECT_EQ(share::setJournalAside(game.path()), "TrysterLedger.journal.damaged-2.json");
    EXPECT_EQ(fileBytes(game.file("TrysterLedger.journal.damaged.json")), bytes);
}

}  // namespace
