#pragma once
// What the application tests share: recording doubles in place of sound,
// shell and modal loops, a registry file and a start folder of their own,
// the current directory put back afterwards; the window on a copy of the
// demo game folder, its controls found by their accessible names as
// assistive tools find them; and the toolkit's widgets the tests use.

#include "app/CTrysterDlg.h"
#include "app/ModalRunner.h"
#include "app/NamedControl.h"
#include "platform/Automation.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "support/RecordingShell.h"
#include "support/RecordingSoundPlayer.h"
#include "support/TempDir.h"
#include "wizard/StepTable.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QString>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace tryster::app::tests {

namespace fs = std::filesystem;

// A file's bytes; empty when it cannot be read.
std::string bytesOf(const std::string& path);
// Runs tests/app/check_written.py with these arguments and expects it to
// pass; returns what it printed.
QByteArray checkWritten(const QStringList& arguments);

using Sound = test::RecordingSoundPlayer::Event;
inline const Sound kClick{Sound::Resource, "Click", platform::PlayMode::Async};

// A modal dialog as the user would have seen it.
struct ShownDialog {
    QString className;
    QString caption;
    QString message;     // the text of the message and question boxes
    QString ownerTitle;  // the owner window's title at that moment
};

class RecordingModalRunner final : public ModalRunner {
public:
    int run(QDialog& dialog) override;
    std::vector<ShownDialog> shown;
    int result = QDialog::Accepted;
    // Runs inside the "modal loop", for tests that answer there.
    std::function<void(QDialog&)> onShow;
};

class RecordingAutomation final : public platform::AutomationServer {
public:
    void registerRunning() override { calls.push_back("registerRunning"); }
    void updateRegistration(std::string_view path) override { calls.push_back("updateRegistration " + std::string(path)); }
    void setHost(platform::AutomationHost* newHost) override {
        host = newHost;
        calls.push_back(host ? "setHost" : "setHost null");
    }
    std::vector<std::string> calls;
    platform::AutomationHost* host = nullptr;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Points the registry at `folder`, or at a game folder of its own.
    std::string installGame();
    void pointRegistryAt(const std::string& folder);
    // Makes the start folder hold the template, as an unpacked program's does.
    void addTemplate() { startDir.write("TR_Template.iff", "template"); }
    // The window's control of this accessible name.
    template <typename T = QWidget>
    T* control(const char* name) {
        T* found = namedControl<T>(dialog.get(), QString::fromUtf8(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    std::unique_ptr<CTrysterDlg> dialog;
    test::TempDir startDir;   // the current directory at launch
    test::TempDir configDir;  // the registry file and the game
    test::RecordingSoundPlayer sounds;
    test::RecordingShell shell;
    RecordingModalRunner runner;

private:
    std::string savedCwd_;
};

// The window on a copy of the demo game folder (`game`) with the real
// template, shown until the preview is ready (unless a test says
// otherwise); the titles, dialogs and sounds of the start are forgotten.
class WindowTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;
    bool waitUntilReady();

    void click(const char* name);  // a button that must be shown and enabled
    void pick(const char* list, const QString& text);
    QStringList entries(const char* list);
    QStringList selected(const char* list);
    // Types as a keyboard does, any character (QTest's key clicks know
    // ASCII only).
    static void type(QWidget* field, const QString& text);

    // File dialogs take the next of `files` (an empty one cancels, as does
    // none left) after `onChooser` has looked at them; the other boxes
    // answer `answer` after `onBox` has.
    void answerDialog(QDialog& dialog);
    std::vector<QString> files;
    std::function<void(QFileDialog&)> onChooser;
    std::function<void(QDialog&)> onBox;
    int answer = QDialog::Accepted;
    QStringList chooserFolders;

    bool showWindow = true;
    platform::FixedClock clock{20'000'000};
    std::string game;
    QStringList titles;  // every title the window took
};

}  // namespace tryster::app::tests
