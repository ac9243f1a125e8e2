#pragma once
// The main dialog: one window holding the wizard on the left and the live
// preview on the right. Controls are made once and found by their template
// id (control()); each wizard page shows its own set in showStep().

#include "character/Appearance.h"
#include "character/PlomData.h"
#include "platform/Automation.h"
#include "preview/Preview.h"

#include <QDialog>

#include <string>

class QEventLoop;
class QMenu;

namespace tryster::app {

class CTrysterDlg final : public QDialog, public platform::AutomationHost {
    Q_OBJECT

public:
    static constexpr const char* kCaption = "The Ploms Tryster";
    // The registry key and value that name the game's install folder.
    static constexpr const char* kGameKey = "Software\\Orvel\\The Ploms";
    static constexpr const char* kInstallValue = "PLOMS_DATA";
    static constexpr const char* kNotDetected = preview::kGameMissingText.data();

    // `appStartFolder`: the application's start folder, where Help finds
    // the readme.
    explicit CTrysterDlg(std::string appStartFolder, QWidget* parent = nullptr);
    ~CTrysterDlg() override;

    // The dialog's initialisation: splash, the game's install folder, the
    // folders, tool tips and wizard step 0. Runs before the dialog is shown.
    void initDialog();
    // initDialog, then the dialog's own loop until it closes or a quit is
    // posted. Returns the quit code (0 for a normal close).
    int doModal();

    QWidget* control(int id) const;
    int step() const { return m_step; }
    void showStep();

    // "The Ploms Tryster: " + stepText in the window title.
    void setProgressTitle(const QString& stepText);

    const std::string& installFolder() const { return m_installFolder; }
    const std::string& startFolder() const { return m_startFolder; }
    std::string readmePath() const;

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

private:
    void createControls();
    void createPreviewControls();
    void registerToolTips();
    void loadPictureButtons();
    void showSplash();
    void locateGame();
    void enterInstallFolder();
    void initPreviewControls();
    void openAbout();

    void setShown(int id, bool shown);
    void setEnabled(int id, bool enabled);
    bool isPressed(int id) const;

    // The checks and commits of each page arrive with the pages (true: go on).
    bool checkAndCommitStep();
    // The replace path's file work arrives with townie replacement.
    bool chooseNeighbourhood();

    // What the wizard builds.
    PlomData m_plom;
    Appearance m_appearance;
    std::string m_skeletonName{kAdultDefaults.skeleton};
    std::string m_animationName{kAdultDefaults.animation};

    std::string m_appStartFolder;
    std::string m_startFolder;    // the copy kept for the template
    std::string m_installFolder;  // the current directory after initDialog

    int m_step = 0;
    bool m_suspended = false;
    // Camera controls of the preview.
    float m_facing = 0.0f;
    float m_rotationSpeed = 0.0f;
    int m_zoomLevel = 3;

    bool m_automationHeld = false;
    bool m_hiddenByClose = false;
    bool m_quitPosted = false;
    int m_quitCode = 0;
    QEventLoop* m_loop = nullptr;
    QMenu* m_systemMenu = nullptr;
};

}  // namespace tryster::app
