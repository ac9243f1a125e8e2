#include "AppFixture.h"

#include "app/CAboutDlg.h"
#include "app/CPictureButton.h"
#include "app/CTrysterDlg.h"
#include "app/ControlIds.h"
#include "app/ToolTips.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>

#include <set>

namespace tryster::app::tests {
namespace {

using platform::PlayMode;

const Sound kClick{Sound::Resource, "Click", PlayMode::Async};

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
    void TearDown() override {
        dialog.reset();
        AppTest::TearDown();
    }

    QWidget* control(int id) { return dialog->control(id); }
    bool shown(int id) { return control(id) && control(id)->isVisibleTo(dialog.get()); }
    bool enabled(int id) { return control(id) && control(id)->isEnabled(); }
    void press(int id) { qobject_cast<QAbstractButton*>(control(id))->click(); }

    std::unique_ptr<CTrysterDlg> dialog;
};

TEST_F(MainDialog, StepZeroOffersCreateAndReplaceOnly) {
    EXPECT_EQ(dialog->step(), 0);
    for (int id : {IDC_CREATE, IDC_REPLACE, IDC_ABOUT, IDC_HELP}) {
        EXPECT_TRUE(shown(id)) << id;
        EXPECT_TRUE(enabled(id)) << id;
    }
    EXPECT_FALSE(enabled(IDC_BACK));
    EXPECT_FALSE(enabled(IDC_NEXT));
    EXPECT_TRUE(shown(IDC_STEP0_PICTURE));
    EXPECT_FALSE(qobject_cast<QLabel*>(control(IDC_STEP0_PICTURE))->pixmap().isNull());
    for (int id : {IDC_SAVE, IDC_LOAD, IDC_SAVE_BACK, IDC_RELOAD, IDC_WELCOME}) EXPECT_FALSE(shown(id)) << id;
    EXPECT_FALSE(enabled(IDC_SAVE_BACK));
    // Create and Replace lie over Back and Next.
    EXPECT_EQ(control(IDC_CREATE)->geometry(), control(IDC_BACK)->geometry());
    EXPECT_EQ(control(IDC_REPLACE)->geometry(), control(IDC_NEXT)->geometry());
}

TEST_F(MainDialog, PreviewControlsStartAtTheirDefaults) {
    auto* facing = qobject_cast<QComboBox*>(control(IDC_FACING_LIST));
    auto* rotate = qobject_cast<QComboBox*>(control(IDC_ROTATE_LIST));
    auto* zoom = qobject_cast<QSlider*>(control(IDC_ZOOM_SLIDER));
    ASSERT_TRUE(facing && rotate && zoom);
    EXPECT_EQ(facing->currentText(), "South East");
    EXPECT_EQ(rotate->currentText(), "None");
    EXPECT_EQ(zoom->minimum(), 0);
    EXPECT_EQ(zoom->maximum(), 4);
    EXPECT_EQ(zoom->value(), 3);
    EXPECT_TRUE(sounds.events.empty()) << "setting the defaults is not a user's choice";
    for (int id : {IDC_FACING_LIST, IDC_ROTATE_LIST, IDC_ZOOM_SLIDER}) EXPECT_TRUE(shown(id)) << id;
}

TEST_F(MainDialog, ThePreviewHoldsBothSnapshotRectangles) {
    QRect preview = control(IDC_PREVIEW)->contentsRect();
    EXPECT_TRUE(preview.contains(QRect(QPoint(120, 146), QPoint(219, 365)))) << "body";
    EXPECT_TRUE(preview.contains(QRect(QPoint(145, 146), QPoint(189, 190)))) << "head";
    EXPECT_FALSE(control(IDC_PREVIEW)->geometry().intersects(control(IDC_ABOUT)->geometry()));
}

// Each control of the tip table that the dialog has shows the first tip
// registered for it (four lists are registered twice).
TEST_F(MainDialog, PictureButtonsAndTipsAreInPlace) {
    for (int id : {IDC_BACK, IDC_NEXT, IDC_CREATE, IDC_REPLACE, IDC_SAVE, IDC_ABOUT, IDC_HELP})
        EXPECT_TRUE(qobject_cast<CPictureButton*>(control(id))->hasBitmaps()) << id;
    std::set<int> seen;
    int shown = 0;
    for (const ToolTip& tip : kToolTips) {
        if (!seen.insert(tip.controlId).second) continue;
        if (QWidget* w = control(tip.controlId)) {
            EXPECT_EQ(w->toolTip(), QString::fromLatin1(tip.text)) << tip.controlId;
            ++shown;
        }
    }
    EXPECT_GE(shown, 5);
}

TEST_F(MainDialog, CreateLeadsToStepOneAndBackReturns) {
    press(IDC_CREATE);
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    EXPECT_EQ(dialog->step(), 1);
    EXPECT_EQ(dialog->windowTitle(), "The Ploms Tryster: Beauty is Skin Deep");
    EXPECT_FALSE(shown(IDC_CREATE));
    EXPECT_FALSE(shown(IDC_STEP0_PICTURE));
    EXPECT_TRUE(enabled(IDC_BACK));
    // A fresh record is male: its button is pressed, so Next may go on.
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(control(IDC_MALE))->isChecked());
    EXPECT_TRUE(enabled(IDC_NEXT));
    press(IDC_BACK);
    EXPECT_EQ(dialog->step(), 0);
    EXPECT_TRUE(shown(IDC_CREATE));
    EXPECT_FALSE(enabled(IDC_BACK));
    EXPECT_EQ(sounds.events.size(), 2u);
}

TEST_F(MainDialog, TheAboutButtonClicksToTheEndFirst) {
    bool clickedBefore = false;
    runner.onShow = [&](QDialog&) { clickedBefore = !sounds.events.empty(); };
    press(IDC_ABOUT);
    EXPECT_EQ(sounds.events, (std::vector<Sound>{{Sound::Resource, "Click", PlayMode::Wait}}));
    EXPECT_TRUE(clickedBefore);
    ASSERT_EQ(runner.shown.size(), 1u);
    EXPECT_EQ(runner.shown[0].className, "tryster::app::CAboutDlg");
    EXPECT_EQ(runner.shown[0].caption, "The Ploms Tryster");
}

TEST_F(MainDialog, TheWindowMenuOpensAboutWithoutAClick) {
    QAction* about = nullptr;
    for (QAction* action : dialog->systemMenu()->actions())
        if (action->text() == "&About this program...") about = action;
    ASSERT_TRUE(about);
    EXPECT_EQ(about->data().toInt(), IDM_ABOUTBOX);
    about->trigger();
    EXPECT_TRUE(sounds.events.empty());
    ASSERT_EQ(runner.shown.size(), 1u);
    EXPECT_EQ(runner.shown[0].className, "tryster::app::CAboutDlg");
    dialog->onSysCommand(IDM_ABOUTBOX + 1);  // other commands open nothing
    EXPECT_EQ(runner.shown.size(), 1u);
}

TEST_F(MainDialog, HelpOpensTheReadmeOfTheStartFolder) {
    press(IDC_HELP);
    EXPECT_EQ(sounds.events, std::vector<Sound>{kClick});
    // The current directory is the game's by now; the readme is not there.
    EXPECT_EQ(shell.opened, std::vector<std::string>{startDir.file("readme.txt")});
}

TEST_F(MainDialog, TheAboutBoxHelpOpensTheReadmeAndCancels) {
    runner.onShow = [](QDialog& d) {
        auto* about = qobject_cast<CAboutDlg*>(&d);
        EXPECT_FALSE(about->helpButton()->isVisibleTo(about));
        QSignalSpy rejected(about, &QDialog::rejected);
        about->helpButton()->click();
        EXPECT_EQ(rejected.count(), 1);
    };
    dialog->onSysCommand(IDM_ABOUTBOX);
    EXPECT_EQ(shell.opened, std::vector<std::string>{startDir.file("readme.txt")});
}

TEST_F(MainDialog, ClosingWhileAClientHoldsTheObjectOnlyHides) {
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->show();
    dialog->automationAttached();
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(finished.count(), 0);
    dialog->automationReleased();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(MainDialog, EscapeDoesNotCloseTheWizard) {
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog.get(), &escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(finished.count(), 0);
}

}  // namespace
}  // namespace tryster::app::tests
