// "Install a shared date" as a player walks it: a pack of one of the demo
// game's dates comes back after the date was taken out, with a skin of the
// player's that differs from the pack's, another date holding its object
// identifier, and one of its outfits gone.

#include "AppFixture.h"

#include "formats/ZipWriter.h"
#include "share/PackBuilder.h"
#include "share/SharedDate.h"

#include <QCheckBox>

#include <fstream>

namespace tryster::app::tests {
namespace {

// The pack's files again, under another manifest.
bool rewritePack(const share::Pack& p, const share::PackManifest& manifest, const std::string& path) {
    std::unique_ptr<platform::File> file = platform::fileSystem().open(path, platform::OpenMode::CreateTruncate);
    std::string error;
    std::unique_ptr<formats::ZipWriter> zip = file ? formats::openZipWriter(*file, error) : nullptr;
    const std::string text = share::encodeManifest(manifest);
    bool ok = zip && zip->add("manifest.json", std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    for (const share::PackFile& f : p.files) ok = ok && zip->add(share::archiveName(f.path.path), f.bytes);
    return ok && zip->finish();
}

class InstallPath : public WindowTest {
protected:
    void SetUp() override {
        showWindow = false;  // the preview scans the folder as the player left it
        WindowTest::SetUp();
        const std::string dates = game + "/TemplateNPCs/";
        for (const char* snapshot : {"Date_Rosahead.jpg", "Date_Rosabody.jpg"})
            fs::copy_file(TRYSTER_TEST_SOURCE "/share/data/head.jpg", dates + snapshot);
        pack = configDir.file("Rosa.zip");
        const share::PackOutcome made = share::packDate({dates + "Date_Rosa.iff", game, pack, {}});
        ASSERT_TRUE(made.written) << made.problem;
        // The date goes; a twin keeps its identifier; one skin goes and
        // another is the player's own.
        fs::rename(dates + "Date_Rosa.iff", dates + "Twin.iff");
        for (const char* snapshot : {"Date_Rosahead.jpg", "Date_Rosabody.jpg"}) fs::remove(dates + snapshot);
        fs::remove(skin("B006FAFitlgt_dots.bmp"));
        fs::remove(skin("b006fafit_01.cmx"));
        mine = bytesOf(skin("B003MAFitmed_bmoc.bmp"));
        fs::copy_file(skin("B003MAFitmed_bmoc.bmp"), skin("C021falgt_blnd.bmp"), fs::copy_options::overwrite_existing);
        ASSERT_TRUE(waitUntilReady());
    }
    std::string skin(const char* name) const { return game + "/GameData/Skins/" + name; }
    void openPack(const std::string& path) {
        files = {QString::fromStdString(path)};
        onChooser = [this](QFileDialog& chooser) {
            EXPECT_EQ(chooser.windowTitle(), "Select a shared date");
            EXPECT_EQ(QDir(chooser.directory()), QDir::home());
        };
        click("Install a shared date");
    }
    const platform::HeldFiles* held() { return dialog->livePreview().preview().heldFiles(); }

    std::string pack;
    std::string mine;
};

TEST_F(InstallPath, TheDateIsShownInItsOwnSkinsAndInstalledAsThePlayerChose) {
    openPack(pack);
    ASSERT_EQ(dialog->step(), wizard::kInstallStep);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Install a shared date");
    EXPECT_EQ(QApplication::focusWidget(), control("Name")) << "the keyboard starts on the page";
    EXPECT_EQ(control<QLineEdit>("Name")->text(), "Rosa Marsh");
    EXPECT_EQ(control<QLineEdit>("Age")->text(), "Adult");
    EXPECT_EQ(control<QLineEdit>("Gender")->text(), "Female");
    EXPECT_FALSE(control<QLabel>("Body snapshot")->pixmap().isNull());
    ASSERT_TRUE(held()) << "the preview wears the pack's skins, not the game's";
    EXPECT_EQ(held()->size(), 8u);
    EXPECT_EQ(dialog->look().names().headTexture, "c021falgt_blnd");

    const QStringList lines = entries("Files to be written");
    EXPECT_TRUE(lines.contains("B006FAFitlgt_dots.bmp (new)")) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("C021falgt_blnd.bmp (yours is kept)"));
    EXPECT_TRUE(lines.contains("b006fafit_01.cmx (new)"));
    EXPECT_EQ(lines.back(), "Date_Rosa.iff (new)");
    EXPECT_TRUE(control<QPlainTextEdit>("Notices")->toPlainText().contains("gets a fresh one"));

    // The keyboard follows the page, the choice after the files, then the
    // page's two moves.
    QStringList tabbed;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        tabbed << QAccessible::queryAccessibleInterface(QApplication::focusWidget())->text(QAccessible::Name);
    }
    EXPECT_EQ(tabbed, (QStringList{"Age", "Gender", "Description", "Files to be written",
                                   "Replace your C021falgt_blnd.bmp", "Notices", "Cancel", "Install"}));
    auto* replace = control<QCheckBox>("Replace your C021falgt_blnd.bmp");
    ASSERT_TRUE(replace && !replace->isChecked());
    replace->setFocus();
    QTest::keyClick(replace, Qt::Key_Space);
    EXPECT_TRUE(entries("Files to be written")
                    .contains("C021falgt_blnd.bmp (replaces yours, which is kept as "
                              "C021falgt_blnd.bmp.bak)"));

    click("Install");
    EXPECT_EQ(dialog->step(), wizard::kWelcomeStep);
    EXPECT_EQ(runner.shown.back().caption, "Install Complete");
    EXPECT_EQ(runner.shown.back().message, "Rosa Marsh is installed: 6 files written, 1 skin of yours kept as a backup." +
                                               QStringLiteral("\n\nThis change can be undone from History on the first page."));
    EXPECT_TRUE(fs::exists(game + "/TemplateNPCs/Date_Rosabody.jpg"));
    EXPECT_NE(bytesOf(skin("C021falgt_blnd.bmp")), mine);
    EXPECT_EQ(bytesOf(skin("C021falgt_blnd.bmp.bak")), mine);
    EXPECT_FALSE(held()) << "worn from the game's folder now";
    EXPECT_TRUE(entries("Body Mesh").contains("b006fafit_01")) << "without a restart";
    EXPECT_EQ(dialog->look().names().headTexture, "c021falgt_blnd");
}

TEST_F(InstallPath, AnythingButAPackAndCancelLeaveTheGameAndThePreviewAsTheyWere) {
    const Appearance before = dialog->look().names();
    const std::string notAPack = configDir.write("notes.zip", "not an archive");
    openPack(notAPack);
    EXPECT_EQ(dialog->step(), wizard::kWelcomeStep);
    EXPECT_EQ(runner.shown.back().caption, "Tryster Error:");
    EXPECT_TRUE(runner.shown.back().message.startsWith("This shared date cannot be installed: "));

    openPack(pack);
    ASSERT_EQ(dialog->step(), wizard::kInstallStep);
    click("Cancel");
    EXPECT_EQ(dialog->step(), wizard::kWelcomeStep);
    EXPECT_FALSE(held());
    EXPECT_EQ(dialog->look().names().bodyMesh, before.bodyMesh);
    EXPECT_EQ(dialog->look().names().headTexture, before.headTexture);
    EXPECT_FALSE(fs::exists(game + "/TemplateNPCs/Date_Rosa.iff"));
    EXPECT_EQ(bytesOf(skin("C021falgt_blnd.bmp")), mine);
}

// A damaged journal blocks every install: the player is asked, with what
// it names, before it is set aside; Cancel leaves it as it is. Then a pack
// whose manifest tells of a male date that means no harm: the page shows
// the date as she is, and the claims as notices.
TEST_F(InstallPath, ADamagedJournalIsSetAsideWhenThePlayerSaysSoAndTheReviewShowsTheDateNotItsClaims) {
    const std::string journal = game + "/TrysterLedger.journal.json";
    const std::string damaged = "{\"record\": {\"files\": [{\"path\": \"GameData\\\\Skins\\\\c021fa_long.cmx\"";
    std::ofstream(journal, std::ios::binary) << damaged;
    answer = QDialog::Rejected;
    openPack(pack);
    EXPECT_EQ(dialog->step(), wizard::kWelcomeStep);
    EXPECT_EQ(runner.shown.back().caption, "Tryster Inquery:");
    EXPECT_TRUE(runner.shown.back().message.contains("GameData\\Skins\\c021fa_long.cmx"));
    EXPECT_TRUE(runner.shown.back().message.contains("Set the journal aside and go on?"));
    EXPECT_EQ(bytesOf(journal), damaged) << "left as it was";
    EXPECT_FALSE(files.empty()) << "no archive asked for";

    const share::SharedDateOpening opened = share::openSharedDate(pack);
    ASSERT_TRUE(opened.date) << opened.problem;
    share::PackManifest claims = opened.date->pack.manifest;
    claims.name = "Sir Harmless";
    claims.gender = "Male";
    claims.description = "A harmless date, I promise";
    const std::string lying = configDir.file("lying.zip");
    ASSERT_TRUE(rewritePack(opened.date->pack, claims, lying));
    answer = QDialog::Accepted;
    openPack(lying);
    ASSERT_EQ(dialog->step(), wizard::kInstallStep);
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(bytesOf(game + "/TrysterLedger.journal.damaged.json"), damaged);
    EXPECT_EQ(control<QLineEdit>("Name")->text(), "Rosa Marsh");
    EXPECT_EQ(control<QLineEdit>("Gender")->text(), "Female");
    EXPECT_FALSE(control<QPlainTextEdit>("Description")->toPlainText().contains("harmless"));
    EXPECT_EQ(dialog->look().gender(), kFemale) << "the preview's body follows the date";
    const QString notices = control<QPlainTextEdit>("Notices")->toPlainText();
    EXPECT_TRUE(notices.contains("The pack calls the date \"Sir Harmless\", but the date's own name is \"Rosa Marsh\"."))
        << notices.toStdString();
    EXPECT_TRUE(notices.contains("The pack says the date is male, but the date is female."));
    click("Cancel");
}

}  // namespace
}  // namespace tryster::app::tests
