// The program's start, with the game found or not.

#include "AppFixture.h"

#include "app/CTrysterApp.h"
#include "app/StartFolder.h"

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

// The splash runs first; the install folder becomes the current directory
// and the start folder is kept for the template and the readme.
TEST_F(StartUp, AStartThatFindsTheGameEntersItsFolder) {
    addTemplate();
    const std::string game = installGame();
    CTrysterDlg window(startDir.str());
    EXPECT_EQ(titlesDuringInit(window),
              (QStringList{"The Ploms Tryster: Initing Tool", "The Ploms Tryster: Checking for The Ploms",
                           "The Ploms Tryster: Found it:", "The Ploms Tryster: " + QString::fromStdString(game),
                           "The Ploms Tryster: Creating Tool Tips:", "The Ploms Tryster: Tool Initialized"}));
    EXPECT_FALSE(window.quitPosted());
    ASSERT_EQ(runner.shown.size(), 1u);
    EXPECT_EQ(runner.shown[0].className, "tryster::app::CTitleDlg");
    EXPECT_EQ(runner.shown[0].ownerTitle, "The Ploms Tryster: Initing Tool");
    EXPECT_EQ(window.installFolder(), game);
    EXPECT_EQ(platform::fileSystem().currentDirectory(), game);
    EXPECT_TRUE(platform::fileSystem().exists("GameData\\keep.txt"));
    EXPECT_EQ(window.startFolder(), startDir.str());
}

TEST_F(StartUp, WithoutTheKeyTheErrorBoxComesOnceAndTheRestStillRuns) {
    CTrysterDlg window(startDir.str());
    EXPECT_EQ(titlesDuringInit(window),
              (QStringList{"The Ploms Tryster: Initing Tool", "The Ploms Tryster: Checking for The Ploms",
                           "The Ploms Tryster: Not Found! Bailing", "The Ploms Tryster: Creating Tool Tips:",
                           "The Ploms Tryster: Tool Initialized"}));
    ASSERT_EQ(runner.shown.size(), 2u);
    EXPECT_EQ(runner.shown[1].className, "tryster::app::CPlomSaved");
    EXPECT_EQ(runner.shown[1].caption, "Error");
    EXPECT_EQ(runner.shown[1].message, kNotDetected);
    EXPECT_EQ(runner.shown[1].ownerTitle, "The Ploms Tryster: Not Found! Bailing");
    EXPECT_TRUE(window.quitPosted());
    EXPECT_EQ(window.quitCode(), 0);
    EXPECT_EQ(platform::fileSystem().currentDirectory(), startDir.str());

    runner.shown.clear();
    RecordingAutomation automation;
    CTrysterApp app(automation);
    EXPECT_EQ(app.initInstance({"tryster"}), 0);
    EXPECT_EQ(runner.shown.size(), 2u) << "the splash and the box; the main loop never ran";
}

TEST_F(StartUp, TheThemePlaysFromTheStartAndStopsAfterTheSplash) {
    RecordingAutomation automation;
    CTrysterApp app(automation);
    runner.onShow = [&](QDialog& d) {
        if (d.metaObject()->className() != QLatin1String("tryster::app::CTitleDlg")) return;
        EXPECT_EQ(sounds.events, (std::vector<Sound>{{Sound::Resource, "PLOMS", PlayMode::Async}}));
    };
    (void)app.initInstance({"tryster"});
    ASSERT_GE(sounds.events.size(), 2u);
    EXPECT_EQ(sounds.events[1].kind, Sound::Stop);
}

TEST_F(StartUp, AutomationSwitchesRegisterTheRunningObjectElseTheEntryIsRewritten) {
    for (const char* option : {"-Embedding", "/Automation", "/embedding", "-AUTOMATION"})
        EXPECT_TRUE(CTrysterApp::hasAutomationSwitch({"tryster", option})) << option;
    EXPECT_FALSE(CTrysterApp::hasAutomationSwitch({"tryster", "Embedding", "--embedding"}));
    RecordingAutomation automation;
    CTrysterApp app(automation);
    (void)app.initInstance({"tryster", "/Automation"});
    EXPECT_EQ(automation.calls.front(), "registerRunning");
    RecordingAutomation user;
    CTrysterApp started(user);
    (void)started.initInstance({"tryster"});
    EXPECT_EQ(user.calls.front(), "updateRegistration " + QCoreApplication::applicationFilePath().toStdString());
    EXPECT_EQ(user.calls.back(), "setHost null") << "no dangling window after the end";
}

// Closing the window while a client holds the automation object only hides
// it; the program ends, with 0, when the client lets go.
TEST_F(StartUp, WhileAClientHoldsTheObjectClosingTheWindowOnlyHidesIt) {
    installGame();
    RecordingAutomation automation;
    CTrysterApp app(automation);
    bool hiddenButRunning = false;
    QTimer::singleShot(0, [&] {  // once the dialog's own loop runs
        automation.host->automationAttached();
        auto* window = dynamic_cast<CTrysterDlg*>(automation.host);
        window->close();
        QTimer::singleShot(50, [&, window] {
            hiddenButRunning = !window->isVisible() && !window->livePreview().frameTimerActive();
            automation.host->automationReleased();
        });
    });
    EXPECT_EQ(app.initInstance({"tryster", "-Embedding"}), 0);
    EXPECT_TRUE(hiddenButRunning);
}

TEST_F(StartUp, TheStartFolderNeedsTheTemplateElseTheInstalledDataIsUsed) {
    test::TempDir data;
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str()), data.str());
    startDir.write("tr_template.IFF", "");  // any letter case will do
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str()), startDir.str());
    // Without installed data the current folder stays, readme and all.
    fs::remove(startDir.path() / "tr_template.IFF");
    EXPECT_EQ(chooseStartFolder(startDir.str(), data.str() + "/missing"), startDir.str());
}

}  // namespace
}  // namespace tryster::app::tests
