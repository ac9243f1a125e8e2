#include "app/CTrysterDlg.h"

#include "app/Accessibility.h"
#include "app/AppearancePage.h"
#include "app/CAboutDlg.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/CTitleDlg.h"
#include "app/CareerPage.h"
#include "app/ControlIds.h"
#include "app/ExportPage.h"
#include "app/InterestsPage.h"
#include "app/ModalRunner.h"
#include "app/NamePage.h"
#include "app/PersonalityPage.h"
#include "app/PreviewPane.h"
#include "app/PreviewPresenter.h"
#include "app/ProgramResources.h"
#include "app/ReplacePage.h"
#include "app/LoadCommands.h"
#include "app/StartFolder.h"
#include "app/TextBoundary.h"
#include "app/ViewControls.h"
#include "app/WaitCursor.h"
#include "platform/Clock.h"
#include "platform/Debug.h"
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

CTrysterDlg::CTrysterDlg(std::string appStartFolder, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_appStartFolder(std::move(appStartFolder)) {
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(programIcon());
    installAccessibility();
    m_presenter = std::make_unique<PreviewPresenter>(*this, [this] { showCatalogInputs(); });
    m_preview = std::make_unique<preview::Preview>(*m_presenter);
    createControls();

    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &CTrysterDlg::tick);
    m_pacing.setApplicationActive(QGuiApplication::applicationState() == Qt::ApplicationActive);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { setApplicationActive(state == Qt::ApplicationActive); });
}

// The pages go first: they reach the preview, which the dialog's members
// hold and which goes before the dialog's children would.
CTrysterDlg::~CTrysterDlg() {
    tearDown();
    m_pages.clear();
    qDeleteAll(findChildren<WizardPage*>(Qt::FindDirectChildrenOnly));
}

void CTrysterDlg::setShown(int id, bool shown) {
    if (QWidget* widget = control(id)) widget->setVisible(shown);
}

void CTrysterDlg::setEnabled(int id, bool enabled) {
    if (QWidget* widget = control(id)) widget->setEnabled(enabled);
}

void CTrysterDlg::setProgressTitle(const QString& stepText) {
    setWindowTitle(gameTextToQt(wizard::kWindowCaption) + QStringLiteral(": ") + stepText);
}

std::string CTrysterDlg::readmePath() const {
    return platform::joinPath(m_appStartFolder, kReadmeFileName);
}

WizardPage* CTrysterDlg::pageOf(int step) const {
    auto found = m_pages.find(step);
    return found == m_pages.end() ? nullptr : found->second;
}

void CTrysterDlg::initDialog() {
    platform::seedRandom(static_cast<std::uint32_t>(platform::calendarSeconds()));
    setProgressTitle(QStringLiteral("Initing Tool"));
    loadPictureButtons();
    m_preview->setSuspended(false);
    setEnabled(IDC_SAVE_BACK, false);

    showSplash();
    platform::soundPlayer().stop();

    locateGame();
    setWindowIcon(programIcon());
    m_startFolder =
        chooseStartFolder(platform::fileSystem().currentDirectory(), platform::installedDataFolder());
    enterInstallFolder();

    setProgressTitle(QStringLiteral("Creating Tool Tips:"));
    registerToolTips();
    setProgressTitle(QStringLiteral("Tool Initialized"));

    for (WizardPage* page : findChildren<WizardPage*>(Qt::FindDirectChildrenOnly)) page->initialise();
    for (int id : wizard::allPageControls()) setShown(id, false);
    m_navigator.reset();
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
        setProgressTitle(fileNameToQt(m_installFolder));
        return;
    }
    setProgressTitle(QStringLiteral("Not Found! Bailing"));
    showMessage(this, QStringLiteral("Error"), QString::fromLatin1(kNotDetected));
    postQuit(0);
}

void CTrysterDlg::enterInstallFolder() {
    // No drive letters here; an empty or missing folder leaves the current
    // directory as it is.
    if (m_installFolder.empty()) return;
    (void)platform::fileSystem().setCurrentDirectory(m_installFolder);
    m_preview->setInstallFolder(platform::fileSystem().currentDirectory());
}

void CTrysterDlg::showCatalogInputs() {
    if (auto* appearance = qobject_cast<AppearancePage*>(pageOf(wizard::kAppearanceStep)))
        appearance->showCatalogInputs();
}

int CTrysterDlg::doModal() {
    initDialog();
    if (m_quitPosted) return m_quitCode;
    show();
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    tearDown();
    return m_quitPosted ? m_quitCode : 0;
}

void CTrysterDlg::postQuit(int code) {
    if (m_quitPosted) return;
    m_quitPosted = true;
    m_quitCode = code;
    m_frameTimer.stop();
    if (m_loop) m_loop->exit(code);
}

void CTrysterDlg::done(int result) {
    if (m_automationHeld) {
        m_hiddenByClose = true;
        hide();
        return;
    }
    tearDown();
    QDialog::done(result);
    if (m_loop) m_loop->exit(0);
}

void CTrysterDlg::tearDown() {
    m_frameTimer.stop();
    m_preview->tearDown();
}

void CTrysterDlg::automationAttached() {
    m_automationHeld = true;
}

void CTrysterDlg::automationReleased() {
    m_automationHeld = false;
    // The user closed the window while a client held it: close for real.
    if (m_hiddenByClose) done(QDialog::Rejected);
}

// --- The preview's tick ----------------------------------------------------

void CTrysterDlg::tick() {
    if (m_quitPosted) return;
    if (m_pacing.mayTick(previewHeld())) {
        const preview::FramePacing::Tick busy(m_pacing);
        if (!m_preview->initialised() && !m_preview->gameMissing()) {
            const WaitCursor wait;
            (void)m_preview->setUp(m_pane, m_pane->surfaceSize().width(), m_pane->surfaceSize().height(),
                                   m_pane->renderScale());
        }
        drawFrame();
    }
    // Armed again only now, so frames never queue; the set-up is tried
    // again at the next tick until it completes.
    if (!m_quitPosted && !m_preview->gameMissing() && m_pacing.onScreen()) armFrameTimer(m_pacing.periodMs());
}

void CTrysterDlg::drawFrame() {
    if (!m_preview->initialised() || previewHeld()) return;
    if (render::AnimDevice* device = m_preview->animDevice())
        device->addUpdateRect({0, 0, device->width(), device->height()});
    (void)m_preview->frame();
}

void CTrysterDlg::redrawNow() {
    drawFrame();
    m_pane->repaint();
}

void CTrysterDlg::holdPreview(bool held) {
    m_holds = std::max(0, m_holds + (held ? 1 : -1));
    if (m_holds > 0) {
        m_frameTimer.stop();
        return;
    }
    if (m_pacing.onScreen() && !m_quitPosted && !m_preview->gameMissing() && !m_frameTimer.isActive())
        armFrameTimer(m_pacing.periodMs());
}

exchange::CharacterReading CTrysterDlg::showCharacterFile(const std::string& path) {
    holdPreview(true);
    exchange::CharacterReading reading;
    {
        const WaitCursor wait;
        reading = exchange::readCharacter(path);
        if (reading.look) m_preview->showCharacterLook(*reading.look);
    }
    holdPreview(false);
    return reading;
}

void CTrysterDlg::requestFrame() {
    if (m_pacing.onScreen() && !m_pacing.busy() && m_frameTimer.isActive() && m_preview->initialised())
        armFrameTimer(0);
}

void CTrysterDlg::armFrameTimer(int delayMs) {
    m_frameTimer.start(delayMs);
}

void CTrysterDlg::setApplicationActive(bool active) {
    if (m_pacing.setApplicationActive(active) && m_frameTimer.isActive()) armFrameTimer(m_pacing.periodMs());
}

void CTrysterDlg::updateOnScreen() {
    const bool onScreen = isVisible() && !isMinimized();
    m_pacing.setOnScreen(onScreen);
    if (!onScreen) {
        m_frameTimer.stop();
        return;
    }
    if (!m_frameTimer.isActive() && !m_pacing.busy() && !m_quitPosted && !m_preview->gameMissing())
        armFrameTimer(m_pacing.periodMs());
}

void CTrysterDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (render::AnimDevice* device = m_preview->animDevice()) device->windowMoved();
    updateOnScreen();
}

void CTrysterDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    updateOnScreen();
}

void CTrysterDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (render::AnimDevice* device = m_preview->animDevice()) device->windowMoved();
}

void CTrysterDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (render::AnimDevice* device = m_preview->animDevice()) device->windowMoved();
        updateOnScreen();
    } else if (event->type() == QEvent::WindowTitleChange) {
        platform::debugPrint("title", windowTitle().toStdString());
    }
}

// --- Commands --------------------------------------------------------------

void CTrysterDlg::keyPressEvent(QKeyEvent* event) {
    // Escape would close the whole wizard and lose the user's work.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTrysterDlg::contextMenuEvent(QContextMenuEvent* event) {
    m_systemMenu->exec(event->globalPos());
}

void CTrysterDlg::onSysCommand(int command) {
    if (command == IDM_ABOUTBOX) openAbout();
}

void CTrysterDlg::openAbout() {
    CAboutDlg about(fileNameToQt(readmePath()), this);
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
    m_navigator.back();
    showStep();
}

void CTrysterDlg::onNext() {
    platform::playClick();
    if (WizardPage* page = pageOf(step()); page && !page->leave()) return;
    m_navigator.next();
    showStep();
}

void CTrysterDlg::onCreate() {
    onNext();
}

void CTrysterDlg::onReplace() {
    platform::playClick();
    m_navigator.replace();
    showStep();
}

void CTrysterDlg::showStep() {
    for (;;) {
        for (int id : wizard::controlsHiddenOnEveryStep()) setShown(id, false);
        for (int id : wizard::allPageControls()) setShown(id, false);

        const wizard::StepView view = wizard::viewOf(step());
        if (view.title) setProgressTitle(gameTextToQt(*view.title));
        // Shown controls go on top: Create and Replace lie over Back and
        // Next, Save over Next.
        for (int id : view.shown) {
            setShown(id, true);
            if (QWidget* widget = control(id)) widget->raise();
        }
        setEnabled(IDC_BACK, view.backEnabled);
        setEnabled(IDC_NEXT, view.nextEnabled);

        switch (view.entry) {
            case wizard::StepEntry::ReturnToWelcome:
                m_navigator.returnToWelcome();
                continue;
            case wizard::StepEntry::ChooseNeighbourhood:
                if (!m_replace->chooseNeighbourhood()) {
                    m_navigator.returnToWelcome();
                    continue;
                }
                m_replace->searchTownies();
                break;
            case wizard::StepEntry::SearchDates:
                m_replace->searchDates();
                break;
            case wizard::StepEntry::ConfirmReplace:
                m_replace->confirmReplace();
                m_navigator.returnToWelcome();
                continue;
            default:
                if (WizardPage* page = pageOf(step())) page->enter();
                break;
        }
        return;
    }
}

}  // namespace tryster::app
