#pragma once
// The main dialog: the wizard's pages on the left, the live preview on the
// right. It coordinates: it holds the character that the pages build (the
// record and the look, over which the look model rules), wires the pages, the live preview (which reads the look) and the
// commands together, and moves between the pages along the step table. The
// pages show and bind their own controls, the live preview paces its own
// frames; the rules live in src/wizard and src/preview.

#include "app/LivePreview.h"
#include "app/PageStack.h"
#include "app/WizardPage.h"
#include "character/Character.h"
#include "platform/Automation.h"
#include "preview/LookModel.h"
#include "preview/PreviewPresenter.h"
#include "wizard/StepTable.h"

#include <QDialog>

#include <string>

class QAbstractButton;
class QEventLoop;
class QMenu;

namespace tryster::app {

class AboutCommands;
class CharacterCommands;

class CTrysterDlg final : public QDialog,
                          public platform::AutomationHost,
                          public PageHost,
                          private preview::PreviewPresenter {
    Q_OBJECT

public:
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
    WizardPage* page(int step) const { return m_pages->page(step); }
    CharacterCommands& commands() const { return *m_commands; }
    // The window menu with the About command and the commands for the
    // player's characters (where the window manager's own menu cannot take
    // them, it opens on a right click).
    QMenu* systemMenu() const;

    // PageHost.
    PlomData& record() override { return m_character.record; }
    preview::LookModel& look() override { return m_look; }
    const std::string& installFolder() const override { return m_installFolder; }
    const std::string& startFolder() const override { return m_startFolder; }
    void setProgressTitle(const QString& stepText) override;
    LivePreview& livePreview() const override { return *m_live; }

    // Ends the dialog's loop with `code` as soon as it runs (at once when
    // it already does).
    void postQuit(int code) override;
    bool quitPosted() const { return m_quitPosted; }
    int quitCode() const { return m_quitCode; }

    void automationAttached() override;
    void automationReleased() override;

    // Closing while an automation client holds the program only hides it.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // PreviewPresenter: the set-up's steps in the title, its messages in the
    // message box.
    void showProgress(std::string_view stepText) override;
    void showMessage(std::string_view caption, std::string_view text) override;

    void addPages();
    template <typename Page, typename... Extra>
    Page* addPage(int step, Extra&... extra);
    QAbstractButton* addMoveButton(const char* caption, double dluX, const char* tip);
    void locateGame();
    void showStep(int step);
    void back();
    void next();

    Character m_character;
    preview::LookModel m_look{m_character};
    wizard::Navigator m_navigator;

    std::string m_startFolder;    // the copy kept for the template
    std::string m_installFolder;  // the current directory after initDialog

    QAbstractButton* m_next = nullptr;
    PageStack* m_pages = nullptr;
    LivePreview* m_live = nullptr;
    CharacterCommands* m_commands = nullptr;
    AboutCommands* m_about = nullptr;

    bool m_automationHeld = false;
    bool m_hiddenByClose = false;
    bool m_quitPosted = false;
    int m_quitCode = 0;
    QEventLoop* m_loop = nullptr;
};

}  // namespace tryster::app
