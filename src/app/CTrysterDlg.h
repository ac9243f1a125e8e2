#pragma once
// The main dialog: one window holding the wizard on the left and the live
// preview on the right. It coordinates: it owns the wizard's step, the
// pages, the preview and its pane, runs the preview's tick, and routes the
// buttons to the pages. The pages show and bind their controls; the rules
// they apply live in src/wizard, the preview in src/preview.

#include "app/ControlLookup.h"
#include "app/WizardPage.h"
#include "character/PlomData.h"
#include "exchange/CharacterLook.h"
#include "platform/Automation.h"
#include "preview/FramePacing.h"
#include "preview/Preview.h"
#include "wizard/StepTable.h"

#include <QDialog>
#include <QTimer>

#include <map>
#include <memory>
#include <string>

class QEventLoop;
class QMenu;

namespace tryster::app {

class LoadCommands;
class PreviewPane;
class PreviewPresenter;
class ReplacePage;

class CTrysterDlg final : public QDialog, public platform::AutomationHost, public PageHost {
    Q_OBJECT

public:
    static constexpr const char* kCaption = "The Ploms Tryster";
    // The registry key and value that name the game's install folder.
    static constexpr const char* kGameKey = "Software\\Orvel\\The Ploms";
    static constexpr const char* kInstallValue = "PLOMS_DATA";
    static constexpr const char* kNotDetected = preview::kGameMissingText.data();
    // The preview's tick timer, as the program has always numbered it.
    static constexpr int kPreviewTimerId = 27;

    // `appStartFolder`: the application's start folder, where Help finds
    // the readme.
    explicit CTrysterDlg(std::string appStartFolder, QWidget* parent = nullptr);
    ~CTrysterDlg() override;

    // The dialog's initialisation: splash, the game's install folder, the
    // folders, tool tips, the controls' ranges and wizard step 0. Runs
    // before the dialog is shown.
    void initDialog();
    // initDialog, then the dialog's own loop until it closes or a quit is
    // posted. Returns the quit code (0 for a normal close).
    int doModal();

    QWidget* control(int id) const { return m_controls.find(id); }
    int step() const { return m_navigator.step(); }
    void showStep();

    // "The Ploms Tryster: " + stepText in the window title.
    void setProgressTitle(const QString& stepText) override;

    const std::string& installFolder() const override { return m_installFolder; }
    const std::string& startFolder() const override { return m_startFolder; }
    void redrawNow() override;
    void holdPreview(bool held) override;
    // The dialog's suspended flag: the preview is held (a search, a read, a
    // file dialog of the Load command) or refilling its catalog. Ticks do
    // nothing meanwhile.
    bool previewHeld() const { return m_holds > 0 || m_preview->suspended(); }
    exchange::CharacterReading showCharacterFile(const std::string& path) override;
    LoadCommands* loadCommands() const { return m_loadCommands; }
    std::string readmePath() const;
    PlomData& record() { return m_record; }

    // The live preview: it owns the look, the catalog lists and the camera
    // controls; the pages show them.
    preview::Preview& preview() { return *m_preview; }
    PreviewPane* previewPane() const { return m_pane; }

    // One tick of the preview timer: the deferred set-up until it has
    // completed, then a frame. Does nothing while a tick runs, while the
    // preview is suspended and while the window is hidden or minimised.
    void tick();
    // Draws one frame now (the save command's redraws, a replacement).
    void drawFrame();
    // Asks the timer for a frame as soon as possible (an exposed pane).
    void requestFrame();
    bool frameTimerActive() const { return m_frameTimer.isActive(); }
    int framePeriodMs() const { return m_pacing.periodMs(); }
    const preview::FramePacing& pacing() const { return m_pacing; }
    // The application became active or another one did (the timer period).
    void setApplicationActive(bool active);
    // Releases the preview; safe to run any number of times.
    void tearDown();

    // Ends the dialog's loop with `code` as soon as it runs (at once when
    // it already does).
    void postQuit(int code);
    bool quitPosted() const { return m_quitPosted; }
    int quitCode() const { return m_quitCode; }

    // The window menu with the About command (where the window manager's own
    // menu cannot take it, it opens on a right click).
    QMenu* systemMenu() const { return m_systemMenu; }
    void onSysCommand(int command);

    void automationAttached() override;
    void automationReleased() override;
    bool automationHeld() const { return m_automationHeld; }

public Q_SLOTS:
    void onBack();
    void onNext();
    void onCreate();
    void onReplace();
    void onAbout();
    void onHelp();
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
    void createControls();
    void createPages();
    void setTabOrder();
    void registerToolTips();
    void loadPictureButtons();
    void showSplash();
    void locateGame();
    void enterInstallFolder();
    void openAbout();
    // The look's default choices made by the preview's set-up, shown in the
    // type lists.
    void showCatalogInputs();

    void setShown(int id, bool shown);
    void setEnabled(int id, bool enabled);
    WizardPage* pageOf(int step) const;
    // Shown and not minimised: the timer runs, else it stands.
    void updateOnScreen();

    void armFrameTimer(int delayMs);

    // What the wizard builds.
    PlomData m_record;
    wizard::Navigator m_navigator;

    std::string m_appStartFolder;
    std::string m_startFolder;    // the copy kept for the template
    std::string m_installFolder;  // the current directory after initDialog

    ControlMap m_controls;
    std::map<int, WizardPage*> m_pages;  // by step; owned by the dialog
    std::unique_ptr<PreviewPresenter> m_presenter;
    std::unique_ptr<preview::Preview> m_preview;
    PreviewPane* m_pane = nullptr;
    QTimer m_frameTimer;
    preview::FramePacing m_pacing;
    int m_holds = 0;  // holdPreview's nesting
    ReplacePage* m_replace = nullptr;
    LoadCommands* m_loadCommands = nullptr;

    bool m_automationHeld = false;
    bool m_hiddenByClose = false;
    bool m_quitPosted = false;
    int m_quitCode = 0;
    QEventLoop* m_loop = nullptr;
    QMenu* m_systemMenu = nullptr;
};

}  // namespace tryster::app
