// The Replace path and the Load and Save-back commands as a user walks them
// on a copy of the demo game folder: the file dialogs answered, the lists
// and previews checked, and the files the commands wrote read back by the
// independent container reader.

#include "AppFixture.h"

#include "app/CTrysterDlg.h"
#include "app/ControlIds.h"
#include "app/LoadCommands.h"
#include "demoworld/DemoFolder.h"
#include "demoworld/GameContainers.h"
#include "platform/Clock.h"
#include "preview/Preview.h"

#include <QAction>
#include <QFileDialog>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>

namespace tryster::app::tests {
namespace {

using platform::PlayMode;

const Sound kClick{Sound::Resource, "Click", PlayMode::Async};

// The real files, with a look at the window each time a character file is
// opened.
class WatchedFileSystem final : public platform::FileSystem {
public:
    std::function<void(std::string_view)> onOpen;

    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        if (onOpen) onOpen(path);
        return real().open(path, mode);
    }
    bool exists(std::string_view path) override { return real().exists(path); }
    bool isDirectory(std::string_view path) override { return real().isDirectory(path); }
    std::optional<std::uint64_t> fileSize(std::string_view path) override { return real().fileSize(path); }
    bool remove(std::string_view path) override { return real().remove(path); }
    bool rename(std::string_view from, std::string_view to) override { return real().rename(from, to); }
    bool syncFile(std::string_view path) override { return real().syncFile(path); }
    bool syncFolder(std::string_view path) override { return real().syncFolder(path); }
    bool createDirectories(std::string_view path) override { return real().createDirectories(path); }
    std::vector<platform::DirEntry> list(std::string_view folder) override { return real().list(folder); }
    std::string currentDirectory() override { return real().currentDirectory(); }
    bool setCurrentDirectory(std::string_view path) override { return real().setCurrentDirectory(path); }

private:
    static platform::FileSystem& real() { return platform::realFileSystem(); }
};

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ReplaceAndLoad : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string error;
        ASSERT_TRUE(demoworld::writeTemplateFile(startDir.file("TR_Template.iff"), error)) << error;
        game = configDir.file("game");
        std::filesystem::copy(test::demoFolder(), game, std::filesystem::copy_options::recursive);
        pointRegistryAt(game);
        platform::installClockSource(&clock);
        dialog = std::make_unique<CTrysterDlg>(startDir.str());
        QObject::connect(dialog.get(), &QWidget::windowTitleChanged,
                         [this](const QString& t) { titles << t; });
        dialog->initDialog();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return dialog->windowTitle() == QLatin1String("The Ploms Tryster: Ready!"); }, 60'000));
        runner.shown.clear();
        sounds.events.clear();
        titles.clear();
        runner.onShow = [this](QDialog& d) { answer(d); };
    }
    void TearDown() override {
        dialog.reset();
        platform::installClockSource(nullptr);
        AppTest::TearDown();
    }

    // File dialogs take the next of `files` (an empty one cancels); the
    // question boxes take `questionAnswer`.
    void answer(QDialog& d) {
        if (auto* chooser = qobject_cast<QFileDialog*>(&d)) {
            chooserFolders << chooser->directory().absolutePath();
            const std::string file = files.empty() ? std::string() : files.front();
            if (!files.empty()) files.erase(files.begin());
            if (onChooser) onChooser(*chooser);
            if (file.empty()) {
                runner.result = QDialog::Rejected;
                return;
            }
            chooser->selectFile(QString::fromStdString(file));
            runner.result = QDialog::Accepted;
            return;
        }
        runner.result = questionAnswer;
    }
    QWidget* control(int id) { return dialog->control(id); }
    QListWidget* list(int id) { return qobject_cast<QListWidget*>(control(id)); }
    QStringList entries(int id) {
        QStringList out;
        for (int i = 0; i < list(id)->count(); ++i) out << list(id)->item(i)->text();
        return out;
    }
    void click(int id) { QTest::mouseClick(control(id), Qt::LeftButton); }
    void pick(int listId, const QString& text) {
        QListWidget* l = list(listId);
        const QList<QListWidgetItem*> found = l->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(found.front()).center());
    }
    std::string characters(const char* name) const { return game + "/UserData/Characters/" + name; }
    std::string date(const char* name) const { return game + "/TemplateNPCs/" + name; }
    std::string neighbourhood() const { return game + "/UserData/Neighborhood.iff"; }
    bool titleSeen(const QString& text) const { return titles.contains("The Ploms Tryster: " + text); }

    platform::FixedClock clock{30'000'000};
    std::string game;
    std::unique_ptr<CTrysterDlg> dialog;
    QStringList titles, chooserFolders;
    std::vector<std::string> files;
    std::function<void(QFileDialog&)> onChooser;
    int questionAnswer = QDialog::Accepted;
};

TEST_F(ReplaceAndLoad, CancellingTheNeighbourhoodGoesBackWithoutAMessage) {
    files = {""};
    click(IDC_REPLACE);
    EXPECT_EQ(dialog->step(), 0);
    ASSERT_EQ(runner.shown.size(), 1u);
    EXPECT_EQ(runner.shown[0].caption, "Select the neighborhood:");
    EXPECT_EQ(QDir(chooserFolders.value(0)), QDir(QString::fromStdString(game + "/UserData")));
    EXPECT_TRUE(titleSeen("Which Neighborhood?"));
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
}

TEST_F(ReplaceAndLoad, ATownieIsReplacedByADateKeepingItsIdentityAndABackup) {
    files = {neighbourhood()};
    click(IDC_REPLACE);
    ASSERT_EQ(dialog->step(), 10);
    for (const char* t : {"Select Townie to replace", "Searching for Townies...", "Arlo Finch"})
        EXPECT_TRUE(titleSeen(QString::fromLatin1(t))) << t;
    EXPECT_EQ(entries(IDC_TOWNIE_LIST), (QStringList{"User00001.iff", "User00002.iff", "User00006.iff"}))
        << "adults of 58000 bytes or more, in the order found";
    EXPECT_EQ(list(IDC_TOWNIE_LIST)->selectedItems().value(0)->text(), "User00001.iff");
    EXPECT_EQ(dialog->preview().look().bodyMesh, "b003mafit_01") << "the first townie previewed";

    sounds.events.clear();
    pick(IDC_TOWNIE_LIST, QStringLiteral("User00002.iff"));
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Nadia Brook");
    EXPECT_TRUE(dialog->preview().inputs().female);
    EXPECT_EQ(dialog->preview().inputs().skinToneIndex, kDark);
    EXPECT_EQ(dialog->preview().look().bodyMesh.substr(0, 9), "b007fafat");

    click(IDC_NEXT);
    ASSERT_EQ(dialog->step(), 11);
    EXPECT_TRUE(titleSeen("Searching for Dates..."));
    EXPECT_EQ(entries(IDC_DATE_LIST),
              (QStringList{"Date_Jamie.iff", "Date_Quinn.iff", "Date_Rosa.iff", "glm_generic.iff"}))
        << "never the game's generic date";
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Jamie Rook");

    // Back asks for the neighbourhood again.
    files = {neighbourhood()};
    click(IDC_BACK);
    EXPECT_EQ(dialog->step(), 10);
    EXPECT_EQ(runner.shown.size(), 2u);
    pick(IDC_TOWNIE_LIST, QStringLiteral("User00002.iff"));
    click(IDC_NEXT);
    pick(IDC_DATE_LIST, QStringLiteral("Date_Rosa.iff"));
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Rosa Marsh");

    // Cancel at the question changes nothing.
    const std::string townie = characters("User00002.iff");
    const std::string before = bytesOf(townie);
    questionAnswer = QDialog::Rejected;
    click(IDC_NEXT);
    EXPECT_EQ(dialog->step(), 0);
    EXPECT_EQ(runner.shown.back().caption, "Tryster Inquery:");
    EXPECT_EQ(runner.shown.back().message, "Are you sure you want to replace this Plom?");
    EXPECT_EQ(bytesOf(townie), before);
    EXPECT_FALSE(std::filesystem::exists(townie + ".bak"));

    // OK replaces it.
    const std::string old = configDir.write("old-townie.iff", before);
    files = {neighbourhood()};
    questionAnswer = QDialog::Accepted;
    click(IDC_REPLACE);
    pick(IDC_TOWNIE_LIST, QStringLiteral("User00002.iff"));
    click(IDC_NEXT);
    pick(IDC_DATE_LIST, QStringLiteral("Date_Rosa.iff"));
    const std::size_t shown = runner.shown.size();
    click(IDC_NEXT);
    EXPECT_EQ(dialog->step(), 0);
    EXPECT_EQ(runner.shown.size(), shown + 1) << "only the question: success says nothing";
    QProcess checker;
    checker.start(QStringLiteral("python3"),
                  {QStringLiteral(TRYSTER_TEST_SOURCE "/app/check_replaced_townie.py"),
                   QString::fromStdString(townie), QString::fromStdString(townie + ".bak"),
                   QString::fromStdString(date("Date_Rosa.iff")), QString::fromStdString(old)});
    ASSERT_TRUE(checker.waitForFinished(60'000));
    EXPECT_EQ(checker.exitCode(), 0) << checker.readAllStandardOutput().toStdString()
                                     << checker.readAllStandardError().toStdString();
}

TEST_F(ReplaceAndLoad, AnEmptyNeighbourhoodOffersNoTownieAndNothingIsReplaced) {
    const std::string empty = configDir.file("hood");
    std::filesystem::create_directories(empty + "/Characters");
    configDir.write("hood/Neighborhood.iff", "not read");
    files = {empty + "/Neighborhood.iff"};
    click(IDC_REPLACE);
    ASSERT_EQ(dialog->step(), 10);
    EXPECT_EQ(list(IDC_TOWNIE_LIST)->count(), 0);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Searching for Townies...") << "nothing previewed";
    click(IDC_NEXT);
    ASSERT_EQ(dialog->step(), 11);
    click(IDC_NEXT);
    EXPECT_EQ(dialog->step(), 0);
    ASSERT_FALSE(runner.shown.empty());
    EXPECT_EQ(runner.shown.back().caption, "Tryster Warning:") << "no question without a townie";
}

TEST_F(ReplaceAndLoad, NoFrameIsDrawnWhileACharacterFileIsRead) {
    WatchedFileSystem watched;
    int reads = 0, heldReads = 0;
    watched.onOpen = [&](std::string_view path) {
        if (path.find("User0000") == std::string_view::npos && path.find("Date_") == std::string_view::npos)
            return;
        ++reads;
        if (!dialog->frameTimerActive() && dialog->previewHeld()) ++heldReads;
    };
    platform::installFileSystem(&watched);
    files = {neighbourhood()};
    click(IDC_REPLACE);
    click(IDC_NEXT);
    platform::installFileSystem(nullptr);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(heldReads, reads);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->frameTimerActive(); }, 1000))
        << "and the timer again after";
}

TEST_F(ReplaceAndLoad, LoadNamesTheCharacterUnderTheCursorAndShowsTheOneChosen) {
    configDir.write("game/UserData/Characters/UserBroken.iff", "not a container");
    LoadCommands& commands = *dialog->loadCommands();
    EXPECT_FALSE(commands.saveBackAction()->isEnabled());
    QStringList panelTexts;
    onChooser = [&](QFileDialog& chooser) {
        auto* panel = chooser.findChild<LoadExtraPanel*>();
        ASSERT_TRUE(panel);
        EXPECT_EQ(panel->characterName(), "Fred");
        chooser.show();  // as the user sees it: the files listed, one under the cursor
        for (const char* file : {"User00002.iff", "UserBroken.iff"}) {
            const QString expected =
                QString::fromLatin1(file) == "UserBroken.iff" ? "Unknown Character" : "Nadia Brook";
            chooser.selectFile(QString::fromStdString(characters(file)));
            EXPECT_TRUE(QTest::qWaitFor([&] { return panel->characterName() == expected; }, 5000)) << file;
            panelTexts << panel->characterName() + "/" + panel->gender() + "/" + panel->age();
        }
        chooser.hide();
    };
    files = {characters("User00002.iff")};
    commands.loadAction()->trigger();
    EXPECT_EQ(panelTexts,
              (QStringList{"Nadia Brook/Female/Adult", "Unknown Character/Unknown Gender/Unknown Age"}));
    ASSERT_FALSE(runner.shown.empty());
    EXPECT_EQ(runner.shown.front().caption, "Select a Plom Character");
    EXPECT_EQ(QDir(chooserFolders.value(0)), QDir(QString::fromStdString(game + "/UserData/Characters")));
    EXPECT_EQ(dialog->windowTitle(), "Nadia Brook - The Ploms Figurant");
    EXPECT_TRUE(dialog->preview().inputs().female);
    EXPECT_TRUE(commands.saveBackAction()->isEnabled());
    EXPECT_EQ(sounds.events.front(), (Sound{Sound::Resource, "Click", PlayMode::Wait}));

    // A file that is no character: the title says so, save back stays on
    // for the character loaded before.
    files = {characters("UserBroken.iff")};
    onChooser = nullptr;
    commands.loadAction()->trigger();
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Figurant");
    EXPECT_TRUE(commands.saveBackAction()->isEnabled());
}

TEST_F(ReplaceAndLoad, SaveBackWritesTheNewLookOrRefusesWithoutTextures) {
    LoadCommands& commands = *dialog->loadCommands();
    files = {characters("User00001.iff")};
    commands.loadAction()->trigger();
    ASSERT_TRUE(commands.saveBackAction()->isEnabled());
    const std::string path = characters("User00001.iff");
    const std::string before = bytesOf(path);

    // Without a head texture the file is not even opened.
    preview::Preview& p = dialog->preview();
    const std::string headTexture = p.look().headTexture;
    p.look().headTexture.clear();
    commands.saveBackAction()->trigger();
    EXPECT_EQ(runner.shown.back().caption, "Save Error");
    EXPECT_EQ(runner.shown.back().message, "You must choose valid textures to save.");
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));

    // Restyled: another body texture.
    p.look().headTexture = headTexture;
    ASSERT_GE(p.catalog().bodyTextures.size(), 2u);
    const std::string other = p.catalog().bodyTextures.entries().back() == p.look().bodyTexture
                                  ? p.catalog().bodyTextures.entries().front()
                                  : p.catalog().bodyTextures.entries().back();
    p.chooseBodyTexture(other);
    commands.saveBackAction()->trigger();
    EXPECT_EQ(runner.shown.back().caption, "Save Complete");
    EXPECT_EQ(runner.shown.back().message,
              "Arlo Finch has been saved to the game. The next time you see Arlo Finch "
              "this is what they will look like.");
    EXPECT_EQ(bytesOf(path + ".bak"), before);
    const std::string after = bytesOf(path);
    EXPECT_NE(after.find(other), std::string::npos) << "the body string names the new texture";
}

}  // namespace
}  // namespace tryster::app::tests
