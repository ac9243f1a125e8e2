#include "app/CTrysterDlg.h"

#include "app/CAboutDlg.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/CTitleDlg.h"
#include "app/ControlIds.h"
#include "app/ControlLookup.h"
#include "app/ModalRunner.h"
#include "app/ProgramResources.h"
#include "app/StartFolder.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace tryster::app {
namespace {

struct StepPage {
    int step;
    const char* title;  // nullptr: the title keeps its last text
    std::initializer_list<int> controls;
};

// The page controls each step shows on entry.
const StepPage kPages[] = {
    {1, "Beauty is Skin Deep",
     {IDC_BODY_TYPE_LABEL, IDC_BODY_TYPE_LIST, IDC_SKIN_TYPE_LABEL, IDC_SKIN_TYPE_LIST, IDC_GENDER_LABEL,
      IDC_MALE, IDC_FEMALE, IDC_BODY_MESH_LABEL, IDC_BODY_MESH_LIST, IDC_BODY_TEXTURE_LABEL,
      IDC_BODY_TEXTURE_LIST, IDC_HEAD_MESH_LABEL, IDC_HEAD_MESH_LIST, IDC_HEAD_TEXTURE_LABEL,
      IDC_HEAD_TEXTURE_LIST}},
    {2, "What's in a name?", {IDC_NAME_LABEL, IDC_NAME, IDC_DESCRIPTION_LABEL, IDC_DESCRIPTION}},
    {3, "What's your sign?",
     {IDC_SIGN_BUTTON, IDC_POINTS_LABEL, IDC_POINTS_LEFT, IDC_NICE_SLIDER, IDC_NEAT_SLIDER,
      IDC_OUTGOING_SLIDER, IDC_ACTIVE_SLIDER, IDC_PLAYFUL_SLIDER, IDC_NICE_LABEL, IDC_NEAT_LABEL,
      IDC_OUTGOING_LABEL, IDC_PLAYFUL_LABEL, IDC_ACTIVE_LABEL}},
    {4, "What floats your boat?",
     {IDC_TOP_INTERESTS_LABEL, IDC_TOP_INTERESTS, IDC_REMAINING_INTERESTS, IDC_TOP_ADD, IDC_TOP_REMOVE,
      IDC_LOW_INTERESTS_LABEL, IDC_LOW_INTERESTS, IDC_LOW_ADD, IDC_LOW_REMOVE}},
    {5, "Dating is work!", {IDC_JOB_TRACK_LABEL, IDC_JOB_TRACK, IDC_JOB_LEVEL_LABEL, IDC_JOB_LEVEL}},
    {6, "Ready to Export?", {IDC_READY_TEXT, IDC_SAVE}},
    {10, "Which Neighborhood?", {}},
    {12, "Replace the Plom", {}},
};

// Hidden at every step change before the page shows its own.
constexpr int kStepHidden[] = {IDC_DATE_LIST, IDC_TOWNIE_LIST, IDC_CREATE,         IDC_REPLACE,
                               IDC_PROGRESS,  IDC_STATUS,      IDC_STEP0_PICTURE, IDC_WELCOME};

const StepPage* pageOf(int step) {
    for (const StepPage& page : kPages)
        if (page.step == step) return &page;
    return nullptr;
}

}  // namespace

CTrysterDlg::CTrysterDlg(std::string appStartFolder, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_appStartFolder(std::move(appStartFolder)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(programIcon());
    createControls();
}

CTrysterDlg::~CTrysterDlg() = default;

QWidget* CTrysterDlg::control(int id) const { return findControl(this, id); }

void CTrysterDlg::setShown(int id, bool shown) {
    if (QWidget* widget = control(id)) widget->setVisible(shown);
}

void CTrysterDlg::setEnabled(int id, bool enabled) {
    if (QWidget* widget = control(id)) widget->setEnabled(enabled);
}

bool CTrysterDlg::isPressed(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(control(id));
    return button && button->isChecked();
}

void CTrysterDlg::setProgressTitle(const QString& stepText) {
    setWindowTitle(QString::fromLatin1(kCaption) + QStringLiteral(": ") + stepText);
}

std::string CTrysterDlg::readmePath() const {
    return platform::joinPath(m_appStartFolder, kReadmeFileName);
}

void CTrysterDlg::initDialog() {
    platform::seedRandom(static_cast<std::uint32_t>(platform::calendarSeconds()));
    setProgressTitle(QStringLiteral("Initing Tool"));
    loadPictureButtons();
    m_suspended = false;
    setEnabled(IDC_SAVE_BACK, false);

    showSplash();
    platform::soundPlayer().stop();

    locateGame();
    setWindowIcon(programIcon());
    m_startFolder = chooseStartFolder(platform::fileSystem().currentDirectory(), platform::installedDataFolder());
    enterInstallFolder();

    setProgressTitle(QStringLiteral("Creating Tool Tips:"));
    registerToolTips();
    setProgressTitle(QStringLiteral("Tool Initialized"));

    initPreviewControls();
    m_step = 0;
    showStep();
}

void CTrysterDlg::showSplash() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CTitleDlg splash(this);
    runModal(splash);
    QGuiApplication::restoreOverrideCursor();
}

void CTrysterDlg::locateGame() {
    setProgressTitle(QStringLiteral("Checking for The Ploms"));
    platform::RegistryValue found = platform::readMachineValue(kGameKey, kInstallValue);
    m_installFolder = found.value;
    if (found.keyOpened) {
        setProgressTitle(QStringLiteral("Found it:"));
        setProgressTitle(QString::fromStdString(m_installFolder));
        return;
    }
    setProgressTitle(QStringLiteral("Not Found! Bailing"));
    showMessage(this, QStringLiteral("Error"), QString::fromLatin1(kNotDetected));
    postQuit(0);
}

void CTrysterDlg::enterInstallFolder() {
    // No drive letters here; an empty or missing folder leaves the current
    // directory as it is.
    if (!m_installFolder.empty()) (void)platform::fileSystem().setCurrentDirectory(m_installFolder);
}

int CTrysterDlg::doModal() {
    initDialog();
    if (m_quitPosted) return m_quitCode;
    show();
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    return m_quitPosted ? m_quitCode : 0;
}

void CTrysterDlg::postQuit(int code) {
    if (m_quitPosted) return;
    m_quitPosted = true;
    m_quitCode = code;
    if (m_loop) m_loop->exit(code);
}

void CTrysterDlg::done(int result) {
    if (m_automationHeld) {
        m_hiddenByClose = true;
        hide();
        return;
    }
    QDialog::done(result);
    if (m_loop) m_loop->exit(0);
}

void CTrysterDlg::automationAttached() { m_automationHeld = true; }

void CTrysterDlg::automationReleased() {
    m_automationHeld = false;
    // The user closed the window while a client held it: close for real.
    if (m_hiddenByClose) done(QDialog::Rejected);
}

void CTrysterDlg::keyPressEvent(QKeyEvent* event) {
    // Escape would close the whole wizard and lose the user's work.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTrysterDlg::contextMenuEvent(QContextMenuEvent* event) { m_systemMenu->exec(event->globalPos()); }

void CTrysterDlg::onSysCommand(int command) {
    if (command == IDM_ABOUTBOX) openAbout();
}

void CTrysterDlg::openAbout() {
    CAboutDlg about(QString::fromStdString(readmePath()), this);
    runModal(about);
}

void CTrysterDlg::onAbout() {
    platform::playClick(platform::PlayMode::Wait);
    openAbout();
}

void CTrysterDlg::onHelp() {
    platform::playClick();
    platform::shell().open(readmePath());
}

void CTrysterDlg::onBack() {
    platform::playClick();
    --m_step;
    showStep();
}

void CTrysterDlg::onNext() {
    platform::playClick();
    if (!checkAndCommitStep()) return;
    ++m_step;
    showStep();
}

void CTrysterDlg::onCreate() { onNext(); }

void CTrysterDlg::onReplace() {
    platform::playClick();
    m_step = 10;
    showStep();
}

bool CTrysterDlg::checkAndCommitStep() { return true; }

bool CTrysterDlg::chooseNeighbourhood() { return false; }

void CTrysterDlg::showStep() {
    for (;;) {
        for (int id : kStepHidden) setShown(id, false);
        setEnabled(IDC_BACK, true);
        setEnabled(IDC_NEXT, true);
        for (const StepPage& page : kPages)
            for (int id : page.controls) setShown(id, false);

        const StepPage* page = pageOf(m_step);
        if (page && page->title) setProgressTitle(QString::fromLatin1(page->title));
        if (page)
            for (int id : page->controls) setShown(id, true);

        switch (m_step) {
        case 0:
            setShown(IDC_STEP0_PICTURE, true);
            setEnabled(IDC_BACK, false);
            setEnabled(IDC_NEXT, false);
            // Create and Replace sit on top of Back and Next.
            setShown(IDC_CREATE, true);
            setShown(IDC_REPLACE, true);
            if (QWidget* create = control(IDC_CREATE)) create->raise();
            if (QWidget* replace = control(IDC_REPLACE)) replace->raise();
            break;
        case 1:
            if (auto* male = qobject_cast<QAbstractButton*>(control(IDC_MALE)))
                male->setChecked(m_plom.gender() == kMale);
            if (auto* female = qobject_cast<QAbstractButton*>(control(IDC_FEMALE)))
                female->setChecked(m_plom.gender() == kFemale);
            if (!isPressed(IDC_MALE) && !isPressed(IDC_FEMALE)) setEnabled(IDC_NEXT, false);
            break;
        case 6: setEnabled(IDC_NEXT, false); break;
        case 9: m_step = 0; continue;
        case 10:
            if (!chooseNeighbourhood()) {
                m_step = 0;
                continue;
            }
            setShown(IDC_TOWNIE_LIST, true);
            break;
        case 11: setShown(IDC_DATE_LIST, true); break;
        case 12:
            // The replacement on OK arrives with townie replacement.
            (void)askOkCancel(this, QStringLiteral("Tryster Inquery:"),
                              QStringLiteral("Are you sure you want to replace this Plom?"));
            m_step = 0;
            continue;
        default: break;
        }
        return;
    }
}

}  // namespace tryster::app
