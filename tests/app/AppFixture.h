#pragma once
// What the application tests share: recording doubles in place of sound,
// shell and modal loops, a registry file and a start folder of their own,
// and the current directory put back afterwards.

#include "app/ModalRunner.h"
#include "platform/Automation.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "support/RecordingShell.h"
#include "support/RecordingSoundPlayer.h"
#include "support/TempDir.h"

#include <QDialog>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace tryster::app::tests {

using Sound = test::RecordingSoundPlayer::Event;

// A modal dialog as the user would have seen it.
struct ShownDialog {
    QString className;
    QString caption;
    QString message;      // the text of the message and question boxes
    QString ownerTitle;   // the owner window's title at that moment
};

class RecordingModalRunner final : public ModalRunner {
public:
    int run(QDialog& dialog) override;
    std::vector<ShownDialog> shown;
    int result = QDialog::Accepted;
    // Runs inside the "modal loop", for tests that press buttons there.
    std::function<void(QDialog&)> onShow;
};

class RecordingAutomation final : public platform::AutomationServer {
public:
    void registerRunning() override { calls.push_back("registerRunning"); }
    void updateRegistration(std::string_view path) override {
        calls.push_back("updateRegistration " + std::string(path));
    }
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

    // Points the registry at a game folder (made under the temp folder).
    std::string installGame();
    // Points the registry at `folder` as the game's install folder.
    void pointRegistryAt(const std::string& folder);
    // Makes the start folder hold the template, as an unpacked program's does.
    void addTemplate() { startDir.write("TR_Template.iff", "template"); }

    test::TempDir startDir;   // the current directory at launch
    test::TempDir configDir;  // the registry file and the game
    test::RecordingSoundPlayer sounds;
    test::RecordingShell shell;
    RecordingModalRunner runner;

private:
    std::string savedCwd_;
};

}  // namespace tryster::app::tests
