// The Replace path and the Load and Save-back commands as a user walks them
// on a copy of the demo game folder, the files they wrote read back by the
// independent container reader.

#include "AppFixture.h"

#include "app/CharacterCommands.h"
#include "app/LoadExtraPanel.h"
#include "app/PreviewPane.h"
#include "exchange/CatalogName.h"
#include "resfile/IFFResFile2.h"
#include "support/PassThroughFileSystem.h"



namespace tryster::app::tests {
namespace {

class ReplaceAndLoad : public WindowTest {
protected:
    QString characters(const char* name) const {
        return QString::fromStdString(game) + QStringLiteral("/UserData/Characters/") + QString::fromUtf8(name);
    }
    QString neighbourhood() const { return QString::fromStdString(game) + QStringLiteral("/UserData/Neighborhood.iff"); }
    bool titleSeen(const QString& text) const { return titles.contains("The Ploms Tryster: " + text); }
    // "UserZo\u00eb.iff": a copy of Nadia Brook named Zo\u00eb Quill in the
    // game's code page.
    void addZoe() {
        const std::string path = characters("UserZo\u00eb.iff").toStdString();
        fs::copy_file(characters("User00002.iff").toStdString(), path);
        resfile::IFFResFile2 file;
        ASSERT_EQ(file.Open(path), resfile::kNoError);
        exchange::CatalogName name;
        name.name = "Zo\xEB Quill";
        name.description = "Writes letters.";
        ASSERT_EQ(name.save(file, exchange::kCatalogNameId), resfile::kNoError);
        ASSERT_EQ(file.Close(), resfile::kNoError);
    }
};

TEST_F(ReplaceAndLoad, ATownieIsReplacedByADateKeepingItsIdentityAndABackup) {
    addZoe();
    // A cancelled neighbourhood goes back without a message.
    click("Replace");
    EXPECT_EQ(dialog->step(), 0);
    EXPECT_EQ(runner.shown.at(0).caption, "Select the neighborhood:");
    EXPECT_EQ(QDir(chooserFolders.value(0)), QDir(QString::fromStdString(game + "/UserData")));
    EXPECT_TRUE(titleSeen("Which Neighborhood?"));
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    runner.shown.clear();

    files = {neighbourhood()};
    click("Replace");
    ASSERT_EQ(dialog->step(), 10);
    for (const char* t : {"Select Townie to replace", "Searching for Townies..."})
        EXPECT_TRUE(titleSeen(QString::fromLatin1(t))) << t;
    EXPECT_EQ(entries("Townies"), (QStringList{"User00001.iff", "User00002.iff", "User00006.iff",
                                               QStringLiteral("UserZo\u00eb.iff")}))
        << "adults of 58000 bytes or more, in the order found, named as on disk";
    EXPECT_EQ(selected("Townies"), QStringList{"User00001.iff"});
    EXPECT_EQ(dialog->look().names().bodyMesh, "b003mafit_01") << "the first townie previewed";
    EXPECT_EQ(QApplication::focusWidget(), control("Townies")) << "the keyboard starts on the list";

    sounds.events.clear();
    pick("Townies", QStringLiteral("UserZo\u00eb.iff"));
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("The Ploms Tryster: Zo\u00eb Quill"));
    EXPECT_EQ(dialog->look().gender(), kFemale);
    EXPECT_EQ(dialog->look().skinTone(), kDark);
    pick("Townies", QStringLiteral("User00002.iff"));

    click("Next");
    ASSERT_EQ(dialog->step(), 11);
    EXPECT_EQ(entries("Dates"), (QStringList{"Date_Jamie.iff", "Date_Quinn.iff", "Date_Rosa.iff", "glm_generic.iff"}))
        << "never the game's generic date";

    // Back asks for the neighbourhood again.
    files = {neighbourhood()};
    click("Back");
    EXPECT_EQ(dialog->step(), 10);
    EXPECT_EQ(runner.shown.size(), 2u) << "asked again";
    pick("Townies", QStringLiteral("User00002.iff"));
    click("Next");
    pick("Dates", QStringLiteral("Date_Rosa.iff"));

    // Cancel at the question changes nothing.
    const std::string townie = characters("User00002.iff").toStdString();
    const std::string before = bytesOf(townie);
    answer = QDialog::Rejected;
    click("Next");
    EXPECT_EQ(dialog->step(), 0);
    EXPECT_EQ(runner.shown.back().caption, "Tryster Inquery:");
    EXPECT_EQ(runner.shown.back().message, "Are you sure you want to replace this Plom?");
    EXPECT_EQ(bytesOf(townie), before);
    EXPECT_FALSE(fs::exists(townie + ".bak"));

    const std::string old = configDir.write("old-townie.iff", before);
    files = {neighbourhood()};
    answer = QDialog::Accepted;
    click("Replace");
    pick("Townies", QStringLiteral("User00002.iff"));
    click("Next");
    pick("Dates", QStringLiteral("Date_Rosa.iff"));
    const std::size_t shown = runner.shown.size();
    click("Next");
    EXPECT_EQ(dialog->step(), 0);
    ASSERT_EQ(runner.shown.size(), shown + 2) << "the question, then the outcome";
    EXPECT_EQ(runner.shown.back().caption, "Replace Complete");
    EXPECT_TRUE(runner.shown.back().message.endsWith(QStringLiteral("\n\nThis change can be undone from History on the first page.")));
    checkWritten({QStringLiteral("townie"), QString::fromStdString(townie),
                  QString::fromStdString(townie + ".bak"),
                  QString::fromStdString(game + "/TemplateNPCs/Date_Rosa.iff"), QString::fromStdString(old)});
}

TEST_F(ReplaceAndLoad, AnEmptyNeighbourhoodOffersNoTownieAndNothingIsReplaced) {
    configDir.write("hood/Characters/readme.txt", "");
    configDir.write("hood/Neighborhood.iff", "not read");
    files = {QString::fromStdString(configDir.file("hood/Neighborhood.iff"))};
    click("Replace");
    ASSERT_EQ(dialog->step(), 10);
    EXPECT_TRUE(entries("Townies").isEmpty());
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Searching for Townies...") << "nothing previewed";
    click("Next");
    click("Next");
    EXPECT_EQ(dialog->step(), 0);
    ASSERT_FALSE(runner.shown.empty());
    EXPECT_EQ(runner.shown.back().caption, "Tryster Warning:") << "no question without a townie";
}

// The real files, with a look at the window each time a character file is
// opened.
class WatchedFileSystem final : public test::PassThroughFileSystem {
public:
    std::function<void(std::string_view)> onOpen;
    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        if (onOpen) onOpen(path);
        return real().open(path, mode);
    }
};

// Reading a character file (a search, a preview) holds the preview: the
// timer stands and a redraw draws nothing.
TEST_F(ReplaceAndLoad, NoFrameIsDrawnWhileACharacterFileIsRead) {
    LivePreview& live = dialog->livePreview();
    WatchedFileSystem watched;
    int reads = 0, heldReads = 0;
    watched.onOpen = [&](std::string_view path) {
        if (path.find("User0000") == std::string_view::npos && path.find("Date_") == std::string_view::npos) return;
        ++reads;
        const int frames = live.pane()->framesShown();
        live.redrawNow();
        if (!live.frameTimerActive() && live.pane()->framesShown() == frames) ++heldReads;
    };
    platform::installFileSystem(&watched);
    files = {neighbourhood()};
    click("Replace");
    click("Next");
    platform::installFileSystem(nullptr);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(heldReads, reads);
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.frameTimerActive(); }, 1000)) << "and the timer again after";
}

// The welcome page's third way: Load, with the panel naming the file under
// the cursor; the look page then offers Save back, which refuses a look
// without textures and writes a new one. A file that is no character
// changes the title only.
TEST_F(ReplaceAndLoad, LoadLeadsToTheLookPageWhoseSaveBackWritesTheNewLookOrRefuses) {
    addZoe();
    configDir.write("game/UserData/Characters/UserBroken.iff", "not a container");
    QStringList panelTexts;
    onChooser = [&](QFileDialog& chooser) {
        auto* panel = chooser.findChild<LoadExtraPanel*>();
        ASSERT_TRUE(panel);
        auto field = [panel](const char* name) { return namedControl<QLineEdit>(panel, QString::fromLatin1(name)); };
        EXPECT_EQ(field("Character Name")->text(), "Fred");
        chooser.show();  // as the user sees it: the files listed, one under the cursor
        for (const char* file : {"UserZo\u00eb.iff", "UserBroken.iff"}) {
            chooser.selectFile(characters(file));
            EXPECT_TRUE(QTest::qWaitFor([&] { return field("Character Name")->text() != "Fred"; }, 5000)) << file;
            panelTexts << field("Character Name")->text() + "/" + field("Gender")->text() + "/" + field("Age")->text();
            field("Character Name")->setText(QStringLiteral("Fred"));
        }
        chooser.hide();
    };
    files = {characters("UserZo\u00eb.iff")};
    EXPECT_FALSE(control("Save Back")->isVisible());
    click("Load");
    EXPECT_EQ(panelTexts, (QStringList{QStringLiteral("Zo\u00eb Quill/Female/Adult"),
                                       "Unknown Character/Unknown Gender/Unknown Age"}));
    EXPECT_EQ(runner.shown.front().caption, "Select a Plom Character");
    EXPECT_EQ(QDir(chooserFolders.value(0)), QDir(QString::fromStdString(game + "/UserData/Characters")));
    EXPECT_EQ(sounds.events.front(), (Sound{Sound::Resource, "Click", platform::PlayMode::Wait}));
    EXPECT_TRUE(titles.contains(QStringLiteral("Zo\u00eb Quill - The Ploms Figurant")));
    ASSERT_EQ(dialog->step(), wizard::kAppearanceStep);
    EXPECT_TRUE(control<QPushButton>("Female")->isChecked()) << "the loaded gender";
    EXPECT_TRUE(control("Save Back")->isVisible());
    EXPECT_TRUE(dialog->commands().saveBackAction()->isEnabled());

    const std::string path = characters("UserZo\u00eb.iff").toStdString();
    const std::string before = bytesOf(path);

    // Without a head texture the file is not even opened.
    Appearance names = dialog->look().names();
    const std::string headTexture = names.headTexture;
    names.headTexture.clear();
    dialog->look().wearExactly(names);
    click("Save Back");
    EXPECT_EQ(runner.shown.back().caption, "Save Error");
    EXPECT_EQ(runner.shown.back().message, "You must choose valid textures to save.");
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_FALSE(fs::exists(path + ".bak"));

    names.headTexture = headTexture;
    dialog->look().wearExactly(names);
    ASSERT_GE(entries("Body Texture").size(), 2);
    const QString other = selected("Body Texture") == entries("Body Texture").mid(0, 1) ? entries("Body Texture").back()
                                                                                          : entries("Body Texture").front();
    pick("Body Texture", other);
    click("Save Back");
    EXPECT_EQ(runner.shown.back().caption, "Save Complete");
    EXPECT_EQ(runner.shown.back().message, QStringLiteral("Zo\u00eb Quill has been saved to the game. The next time you "
                                                          "see Zo\u00eb Quill this is what they will look like.") +
                                              QStringLiteral("\n\nThis change can be undone from History on the first page."));
    EXPECT_EQ(bytesOf(path + ".bak"), before);
    EXPECT_NE(bytesOf(path).find(other.toStdString()), std::string::npos) << "the body string names the new texture";

    // A file gone meanwhile: one box says so, and what failed.
    fs::remove(path);
    const std::size_t shown = runner.shown.size();
    click("Save Back");
    ASSERT_EQ(runner.shown.size(), shown + 1);
    EXPECT_EQ(runner.shown.back().caption, "Save Error");
    EXPECT_EQ(runner.shown.back().message, "Could not save this Plom back to the game. The file was left as it "
                                           "was.\n\nWhat failed: the file could not be copied or its look written.");

    // A file that is no character: the title says so, Save back stays for
    // the character loaded before, and writes that one.
    configDir.write("game/UserData/Characters/UserZo\u00eb.iff", before);
    onChooser = nullptr;
    files = {characters("UserBroken.iff")};
    dialog->commands().loadAction()->trigger();
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Figurant");
    EXPECT_TRUE(control("Save Back")->isVisible());
    EXPECT_EQ(dialog->step(), wizard::kAppearanceStep) << "the window menu's Load stays where it is";
    click("Save Back");
    EXPECT_EQ(runner.shown.back().caption, "Save Complete");
    EXPECT_NE(bytesOf(path), before);
    EXPECT_EQ(bytesOf(characters("UserBroken.iff").toStdString()), "not a container");
}

}  // namespace
}  // namespace tryster::app::tests
