#pragma once
// The main dialog: the wizard's pages on the left, the live preview on the
// right. It coordinates: it holds the record and the look the pages build,
// the preview that shows the look, the pacing of its frames and the
// commands, wires them together, and moves between the pages along the
// step table. The pages show and bind their own controls; the rules live in
// src/wizard and src/preview.

#include "app/WizardPage.h"
#include "character/PlomData.h"
#include "exchange/CharacterLook.h"
#include "platform/Automation.h"
#include "preview/FramePacing.h"
#include "preview/LookModel.h"
#include "preview/Preview.h"
#include "wizard/StepTable.h"

#include <QDialog>
#include <QTimer>

#include <map>
#include <string>

class QAbstractButton;
class QEventLoop;
class QMenu;
class QStackedWidget;

namespace tryster::app {

class CharacterCommands;
class PreviewPane;

class CTrysterDlg final : public QDialog,
                          public platform::AutomationHost,
                          public PageHost,
                          private preview::PreviewPresenter {
    Q_OBJECT

public:
    // The registry key and value that name the game's install folder.
    static constexpr const char* kGameKey = "Software\\Orvel\\The Ploms";
    static constexpr const char* kInstallValue = "PLOMS_DATA";

    // `appStartFolder`: the application's start folder, where Help finds
    // the readme.
    explicit CTrysterDlg(std::string appStartFolder, QWidget* parent = nullptr);
    ~CTrysterDlg() override;

    // The dialog's initialisation: splash, the game's install folder, the
    // folders and wizard step 0. Runs before the dialog is shown.
    void initDialog();
    // initDialog, then the dialog's own loop until it closes or a quit is
    // posted. Returns the quit code (0 for a normal close).
    int doModal();

    int step() const { return m_navigator.step(); }
    WizardPage* page(int step) const { return m_pages.at(step); }
    CharacterCommands& commands() const { return *m_commands; }
    // The window menu with the About command and the commands for the
    // player's characters (where the window manager's own menu cannot take
    // them, it opens on a right click).
    QMenu* systemMenu() const { return m_systemMenu; }
    const preview::Preview& preview() const { return m_preview; }
    PreviewPane* previewPane() const { return m_pane; }

    // PageHost.
    PlomData& record() override { return m_record; }
    preview::LookModel& look() override { return m_look; }
    exchange::PreviewSnapshots& snapshots() override { return m_preview; }
    const std::string& installFolder() const override { return m_installFolder; }
    const std::string& startFolder() const override { return m_startFolder; }
    void redrawNow() override;
    void setProgressTitle(const QString& stepText) override;
    void holdPreview(bool held) override;
    exchange::CharacterReading showCharacterFile(const std::string& path) override;

    // One tick of the frame timer: the preview's set-up until it has
    // completed, then a frame.
    void tick();
    // One frame now, presented to the pane (nothing while held).
    void drawFrame();
    bool frameTimerActive() const { return m_frameTimer.isActive(); }
    // The application became active or another one did (the timer period).
    void setApplicationActive(bool active);
    // Releases the preview; safe to run any number of times.
    void tearDown();

    // Ends the dialog's loop with `code` as soon as it runs (at once when
    // it already does).
    void postQuit(int code) override;
    bool quitPosted() const { return m_quitPosted; }
    int quitCode() const { return m_quitCode; }

    void automationAttached() override;
    void automationReleased() override;
    bool automationHeld() const { return m_automationHeld; }

    // Closing while an automation client holds the program only hides it.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // PreviewPresenter: the set-up's steps in the title, its messages in the
    // message box.
    void showProgress(std::string_view stepText) override;
    void showMessage(std::string_view caption, std::string_view text) override;

    void addPages();
    template <typename Page, typename... Extra>
    Page* addPage(int step, Extra&... extra);
    QAbstractButton* addButton(const char* caption, QRect at, const char* tip);
    void addWindowMenu();
    void chainTabOrder(const QList<QWidget*>& viewControls, QWidget* about, QWidget* help);
    void locateGame();
    void openAbout();
    void showStep(int step);
    void back();
    void next();
    // The frame timer armed as the pacing says, or stopped.
    void pace();
    void updateOnScreen();

    PlomData m_record;
    preview::LookModel m_look;
    preview::Preview m_preview;
    preview::FramePacing m_pacing;
    QTimer m_frameTimer;
    wizard::Navigator m_navigator;

    std::string m_appStartFolder;
    std::string m_startFolder;    // the copy kept for the template
    std::string m_installFolder;  // the current directory after initDialog

    QStackedWidget* m_stack = nullptr;
    std::map<int, WizardPage*> m_pages;  // by step; the stack's
    QAbstractButton* m_back = nullptr;
    QAbstractButton* m_next = nullptr;
    PreviewPane* m_pane = nullptr;
    CharacterCommands* m_commands = nullptr;
    QMenu* m_systemMenu = nullptr;

    bool m_automationHeld = false;
    bool m_hiddenByClose = false;
    bool m_quitPosted = false;
    int m_quitCode = 0;
    QEventLoop* m_loop = nullptr;
};

}  // namespace tryster::app
