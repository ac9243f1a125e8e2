// The main dialog before its preview is set up.

#include "AppFixture.h"

#include "app/CAboutDlg.h"
#include "app/CPictureButton.h"
#include "app/CTrysterApp.h"
#include "app/ControlIds.h"

#include <QMenu>
#include <QScopeGuard>

namespace tryster::app::tests {
namespace {

class MainDialog : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        addTemplate();
        installGame();
        dialog = std::make_unique<CTrysterDlg>(startDir.str());
        dialog->initDialog();
        runner.shown.clear();
        sounds.events.clear();
    }

    bool shown(const char* name) { return control(name)->isVisibleTo(dialog.get()); }
    bool enabled(const char* name) { return control(name)->isEnabled(); }
    void press(const char* name) { qobject_cast<QAbstractButton*>(control(name))->click(); }
    // The names of the controls the keyboard visits from the focused one.
    QStringList tabbing(int count) {
        QStringList visited;
        QWidget* w = dialog->focusWidget();
        for (int i = 0; i < count && w; ++i) {
            visited << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            do w = w->nextInFocusChain();
            while (w && (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus)));
        }
        return visited;
    }
};

TEST_F(MainDialog, TheWelcomePageOffersCreateReplaceAndLoad) {
    EXPECT_EQ(dialog->step(), 0);
    for (const char* name : {"Create", "Replace", "Load", "About", "Help"}) {
        EXPECT_TRUE(shown(name)) << name;
        EXPECT_TRUE(enabled(name)) << name;
    }
    EXPECT_FALSE(enabled("Back"));
    EXPECT_FALSE(enabled("Next"));
    auto* picture = namedControl<QLabel>(dialog.get(), QStringLiteral("Welcome to The Ploms Tryster"));
    EXPECT_TRUE(picture->isVisibleTo(dialog.get()));
    EXPECT_FALSE(picture->pixmap().isNull());
    for (const char* name : {"Save", "Save Back", "Progress"}) EXPECT_FALSE(shown(name)) << name;
    // Create and Replace lie over Back and Next.
    EXPECT_EQ(control("Create")->geometry(), control("Back")->geometry());
    EXPECT_EQ(control("Replace")->geometry(), control("Next")->geometry());
    for (const char* name : {"Back", "Next", "Create", "Replace", "Load", "About", "Help"})
        EXPECT_TRUE(qobject_cast<CPictureButton*>(control(name))->hasBitmaps()) << name;
}

TEST_F(MainDialog, ViewControlsStartAtTheirDefaults) {
    auto* zoom = qobject_cast<QSlider*>(control("Zoom"));
    EXPECT_EQ(qobject_cast<QComboBox*>(control("Facing"))->currentText(), "South East");
    EXPECT_EQ(qobject_cast<QComboBox*>(control("Rotate"))->currentText(), "None");
    EXPECT_EQ(zoom->maximum(), 4);
    EXPECT_EQ(zoom->value(), 3);
    EXPECT_TRUE(sounds.events.empty()) << "setting the defaults is not a user's choice";
    EXPECT_FALSE(control("Preview")->geometry().intersects(control("About")->geometry()));
}

TEST_F(MainDialog, CreateLeadsToTheLookPageWithTheFocusOnItsFirstControlAndBackReturns) {
    dialog->show();
    dialog->activateWindow();
    QTest::keyClick(control("Create"), Qt::Key_Space);  // from the keyboard
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    EXPECT_EQ(dialog->step(), 1);
    EXPECT_FALSE(shown("Create"));
    EXPECT_TRUE(enabled("Back"));
    EXPECT_TRUE(enabled("Next"));
    EXPECT_EQ(tabbing(9), (QStringList{"Body Type", "Skin Type", "Male", "Female", "Body Mesh", "Body Texture",
                                       "Head Mesh", "Head Texture", "Back"}));
    press("Back");
    EXPECT_EQ(dialog->step(), 0);
    EXPECT_EQ(tabbing(10), (QStringList{"Create", "Replace", "Load", "Install a shared date", "History", "Facing",
                                        "Rotate", "Zoom", "About", "Help"}));
}

// Every control the keyboard can reach has a name; a drop-down's is its
// label's, its value its entry (assistive tools select in its list).
TEST_F(MainDialog, EveryControlIsNamedByItsCaptionOrItsLabel) {
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->window() != dialog.get()) continue;  // not the lists' pop-ups
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
            << w->metaObject()->className();
    }
    EXPECT_TRUE(namedControl(dialog.get(), QStringLiteral("What's Your Sign?")));
    QAccessibleInterface* rotate = QAccessible::queryAccessibleInterface(control("Rotate"));
    EXPECT_EQ(rotate->role(), QAccessible::ComboBox);
    EXPECT_EQ(rotate->text(QAccessible::Value), "None");
}

TEST_F(MainDialog, AboutClicksToTheEndFirstTheMenuNotAndHelpOpensTheStartFoldersReadme) {
    bool clickedBefore = false;
    runner.onShow = [&](QDialog&) { clickedBefore = !sounds.events.empty(); };
    press("About");
    EXPECT_EQ(sounds.events, (std::vector<Sound>{{Sound::Resource, "Click", platform::PlayMode::Wait}}));
    EXPECT_TRUE(clickedBefore);
    ASSERT_EQ(runner.shown.size(), 1u);
    EXPECT_EQ(runner.shown[0].className, "tryster::app::CAboutDlg");
    EXPECT_EQ(runner.shown[0].caption, "The Ploms Tryster");

    sounds.events.clear();
    QAction* about = dialog->systemMenu()->actions().value(1);
    ASSERT_TRUE(about);
    EXPECT_EQ(about->text(), "&About this program...");
    EXPECT_EQ(about->data().toInt(), IDM_ABOUTBOX);
    runner.onShow = [](QDialog& d) {
        auto* box = qobject_cast<CAboutDlg*>(&d);
        EXPECT_FALSE(box->helpButton()->isVisibleTo(box));
        QSignalSpy rejected(box, &QDialog::rejected);
        box->helpButton()->click();  // the hidden HELP: the readme, then cancelled
        EXPECT_EQ(rejected.count(), 1);
    };
    about->trigger();
    EXPECT_EQ(runner.shown.size(), 2u);
    runner.onShow = {};
    QAccessible::queryAccessibleInterface(dialog.get())->actionInterface()->doAction("About this program...");
    QCoreApplication::processEvents();
    EXPECT_EQ(runner.shown.size(), 3u) << "a screen reader opens it from the window's menu";
    press("Help");
    // The current directory is the game's by now; the readme is not there.
    EXPECT_EQ(shell.opened, std::vector<std::string>(2, startDir.file("readme.txt")));
    EXPECT_EQ(sounds.events.size(), 2u) << "HELP's click and Help's; the menu played none";
}

TEST_F(MainDialog, EscapeDoesNotCloseTheWizard) {
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->show();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(finished.count(), 0);
}

// The style's tick marks are a darker shade of the page, lost on its red;
// the wizard's sliders show theirs.
TEST_F(MainDialog, TheWizardsSlidersShowTheirTickMarksOnTheRed) {
    const QPalette before = QApplication::palette("QDialog");
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before, "QDialog"); });
    CTrysterApp::applyDialogColours();
    for (const char* name : {"Nice", "Job Level"}) {
        auto* slider = control<QSlider>(name);
        slider->setValue(0);  // the handle at the left, clear of the ticks counted
        const QImage shot = slider->grab().toImage();
        ASSERT_EQ(shot.pixel(shot.width() - 1, shot.height() - 1), qRgb(142, 0, 0)) << "on the page's red";
        int light = 0;  // pixels of the lower half, right of the middle, that are not red
        for (int y = shot.height() / 2; y < shot.height(); ++y)
            for (int x = shot.width() / 2; x < shot.width(); ++x) light += qGreen(shot.pixel(x, y)) > 100;
        EXPECT_GE(light, 5) << name;
    }
}

}  // namespace
}  // namespace tryster::app::tests
