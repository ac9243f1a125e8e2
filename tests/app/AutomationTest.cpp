// The automation object over a real session bus, held by another process:
// closing the window while the client holds the object only hides it and
// stops the preview; when the client lets go, the program ends with 0.
// Runs under its own session bus (dbus-run-session).

#include "AppFixture.h"

#include "app/CTrysterApp.h"
#include "app/CTrysterDlg.h"
#include "app/PreviewPane.h"
#include "demoworld/DemoFolder.h"
#include "platform/qt/DBusAutomation.h"

#include <QApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace tryster::app::tests {
namespace {

CTrysterDlg* mainDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<CTrysterDlg*>(w)) return dialog;
    return nullptr;
}

class Automation : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        if (!QDBusConnection::sessionBus().isConnected()) {
            if (qEnvironmentVariableIsSet("CI")) FAIL() << "no D-Bus session bus";
            GTEST_SKIP() << "no D-Bus session bus";
        }
        addTemplate();
        pointRegistryAt(test::demoFolder());
    }
};

TEST_F(Automation, ClosingWhileAnotherProgramHoldsTheObjectHidesUntilItLetsGo) {
    QProcess client;
    client.setProgram(QStringLiteral(TRYSTER_AUTOMATION_CLIENT));
    bool hiddenAndStill = false, heldAfterClose = false;
    int framesBeforeClose = 0;

    QTimer::singleShot(0, [&] {
        CTrysterDlg* dialog = mainDialog();
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return dialog->windowTitle() == QLatin1String("The Ploms Tryster: Ready!"); }, 60'000));
        framesBeforeClose = dialog->livePreview().pane()->framesShown();
        client.start();
        ASSERT_TRUE(client.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return client.canReadLine(); }, 10'000))
            << client.readAllStandardError().toStdString();
        EXPECT_TRUE(client.readLine().startsWith("/Tryster/Application/"));
        ASSERT_TRUE(dialog->automationHeld());

        dialog->close();
        heldAfterClose = mainDialog() == dialog;
        const int frames = dialog->livePreview().pane()->framesShown();
        QTest::qWait(200);
        hiddenAndStill = !dialog->isVisible() && !dialog->livePreview().frameTimerActive() &&
                         dialog->livePreview().pane()->framesShown() == frames;
        client.write("release\n");
    });
    // A watchdog: the test fails rather than hangs.
    QTimer::singleShot(120'000, [] {
        if (CTrysterDlg* dialog = mainDialog()) dialog->postQuit(99);
    });

    platform::DBusAutomation automation;
    CTrysterApp app(automation);
    EXPECT_EQ(app.initInstance({"tryster", "-Embedding"}), 0);
    EXPECT_GT(framesBeforeClose, 0);
    EXPECT_TRUE(heldAfterClose);
    EXPECT_TRUE(hiddenAndStill);
    ASSERT_TRUE(client.waitForFinished(10'000));
    EXPECT_EQ(client.readAllStandardOutput().trimmed(), "released");
    EXPECT_EQ(client.exitCode(), 0);
}

}  // namespace
}  // namespace tryster::app::tests
