#include "AppFixture.h"

#include "app/CTrysterApp.h"
#include "app/CTrysterDlg.h"
#include "app/StartFolder.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace tryster::app::tests {
namespace {

using platform::PlayMode;

const QString kNotDetected = QString::fromLatin1(preview::kGameMissingText.data());

QStringList titlesDuringInit(CTrysterDlg& dialog) {
    QStringList titles;
    QObject::connect(&dialog, &QWidget::windowTitleChanged, [&](const QString& t) { titles << t; });
    dialog.initDialog();
    return titles;
}

using StartUp = AppTest;

TEST_F(StartUp, TitlesOfAStartThatFindsTheGame) {
    std::string game = installGame();
    CTrysterDlg dialog(startDir.str());
    QStringList expected = {"The Ploms Tryster: Initing Tool",
                            "The Ploms Tryster: Checking for The Ploms",
                            "The Ploms Tryster: Found it:",
                            "The Ploms Tryster: " + QString::fromStdString(game),
                            "The Ploms Tryster: Creating Tool Tips:",
                            "The Ploms Tryster: Tool Initialized"};
    EXPECT_EQ(titlesDuringInit(dialog), expected);
    EXPECT_FALSE(dialog.quitPosted());
    // The splash ran first, and nothing else was modal.
    ASSERT_EQ(runner.shown.size(), 1u);
    EXPECT_EQ(runner.shown[0].className, "tryster::app::CTitleDlg");
    EXPECT_EQ(runner.shown[0].ownerTitle, "The Ploms Tryster: Initing Tool");
}

TEST_F(StartUp, TheInstallFolderBecomesTheCurrentDirectoryAndTheStartFolderIsKept) {
    addTemplate();
    std::string game = installGame();
    CTrysterDlg dialog(startDir.str());
    dialog.initDialog();
    EXPECT_EQ(dialog.installFolder(), game);
    EXPECT_EQ(platform::fileSystem().currentDirectory(), game);
    EXPECT_TRUE(platform::fileSystem().exists("GameData\\keep.txt"));
    EXPECT_EQ(dialog.startFolder(), startDir.str());
}

TEST_F(StartUp, WithoutTheKeyTheErrorBoxComesOnceAndTheRestStillRuns) {
    CTrysterDlg dialog(startDir.str());
    QStringList titles = titlesDuringInit(dialog);
    QStringList expected = {"The Ploms Tryster: Initing Tool", "The Ploms Tryster: Checking for The Ploms",
                            "The Ploms Tryster: Not Found! Bailing", "The Ploms Tryster: Creating Tool Tips:",
                            "The Ploms Tryster: Tool Initialized"};
    EXPECT_EQ(titles, expected);
    ASSERT_EQ(runner.shown.size(), 2u);
    EXPECT_EQ(runner.shown[1].className, "tryster::app::CPlomSaved");
    EXPECT_EQ(runner.shown[1].caption, "Error");
    EXPECT_EQ(runner.shown[1].message, kNotDetected);
    EXPECT_EQ(runner.shown[1].ownerTitle, "The Ploms Tryster: Not Found! Bailing");
    EXPECT_TRUE(dialog.quitPosted());
    EXPECT_EQ(dialog.quitCode(), 0);
    EXPECT_EQ(dialog.step(), 0);
    EXPECT_EQ(platform::fileSystem().currentDirectory(), startDir.str());
}

TEST_F(StartUp, AKeyWithoutTheValueLeavesTheInstallFolderEmpty) {
    configDir.write("registry.ini", "[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nOTHER=1\n");
    CTrysterDlg dialog(startDir.str());
    dialog.initDialog();
    EXPECT_FALSE(dialog.quitPosted());
    EXPECT_EQ(dialog.installFolder(), "");
    EXPECT_EQ(platform::fileSystem().currentDirectory(), startDir.str());
}

TEST_F(StartUp, TheApplicationEndsWithCodeZeroWhenTheGameIsMissing) {
    RecordingAutomation automation;
    CTrysterApp app(automation);
    EXPECT_EQ(app.initInstance({"tryster"}), 0);
    int errors = 0;
    for (const ShownDialog& d : runner.shown)
        if (d.caption == "Error" && d.message == kNotDetected) ++errors;
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(runner.shown.size(), 2u);  // the splash and the box; the main loop never ran
}

TEST_F(StartUp, TheThemePlaysFromTheStartAndStopsAfterTheSplash) {
    RecordingAutomation automation;
    CTrysterApp app(automation);
    runner.onShow = [&](QDialog& d) {
        if (d.metaObject()->className() == QLatin1String("tryster::app::CTitleDlg")) {
            ASSERT_EQ(sounds.events.size(), 1u);
            EXPECT_EQ(sounds.events[0], (Sound{Sound::Resource, "PLOMS", PlayMode::Async}));
        }
    };
    (void)app.initInstance({"tryster"});
    ASSERT_GE(sounds.events.size(), 2u);
    EXPECT_EQ(sounds.events[1].kind, Sound::Stop);
}

TEST_F(StartUp, AutomationSwitchesRegisterTheRunningObjectElseTheEntryIsRewritten) {
    for (const char* option : {"-Embedding", "/Automation", "/embedding", "-AUTOMATION"}) {
        RecordingAutomation automation;
        CTrysterApp app(automation);
        (void)app.initInstance({"tryster", option});
        ASSERT_FALSE(automation.calls.empty());
        EXPECT_EQ(automation.calls[0], "registerRunning") << option;
    }
    RecordingAutomation automation;
    CTrysterApp app(automation);
    (void)app.initInstance({"tryster", "Embedding", "--embedding"});
    ASSERT_FALSE(automation.calls.empty());
    EXPECT_EQ(automation.calls[0], "updateRegistration " + QCoreApplication::applicationFilePath().toStdString());
    EXPECT_EQ(automation.calls.back(), "setHost null");  // no dangling window after the end
}

TEST_F(StartUp, WhileAClientHoldsTheObjectClosingTheWindowOnlyHidesIt) {
    installGame();
    RecordingAutomation automation;
    CTrysterApp app(automation);
    bool hiddenButRunning = false;
    // Runs once the dialog's own loop does.
    QTimer::singleShot(0, [&] {
        automation.host->automationAttached();
        CTrysterDlg* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CTrysterDlg*>(w)) window = dlg;
        ASSERT_TRUE(window);
        window->close();
        QTimer::singleShot(50, [&, window] {
            hiddenButRunning = !window->isVisible();
            automation.host->automationReleased();
        });
    });
    EXPECT_EQ(app.initInstance({"tryster", "-Embedding"}), 0);
    EXPECT_TRUE(hiddenButRunning);
}

TEST_F(StartUp, DialogsGetTheProgramsColours) {
    CTrysterApp::applyDialogColours();
    QDialog box;
    auto* label = new QLabel("text", &box);
    box.ensurePolished();
    EXPECT_EQ(box.palette().color(QPalette::Window), QColor(142, 0, 0));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QApplication::setPalette(QPalette(), "QDialog");
}

TEST_F(StartUp, TheStartFolderNeedsTheTemplateElseTheInstalledDataIsUsed) {
    test::TempDir data;
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str()), data.str());
    addTemplate();
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str()), startDir.str());
    startDir.write("tr_template.IFF", "");  // any letter case will do
    std::filesystem::remove(startDir.path() / "TR_Template.iff");
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str()), startDir.str());
    // Without installed data the current folder stays, readme and all.
    std::filesystem::remove(startDir.path() / "tr_template.IFF");
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str() + "/missing"), startDir.str());
}

}  // namespace
}  // namespace tryster::app::tests
