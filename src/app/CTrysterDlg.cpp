#include "app/CTrysterDlg.h"

#include "app/Accessibility.h"
#include "app/AppearancePage.h"
#include "app/CAboutDlg.h"
#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTitleDlg.h"
#include "app/CareerPage.h"
#include "app/CharacterCommands.h"
#include "app/ConfirmReplacePage.h"
#include "app/ControlIds.h"
#include "app/DatesPage.h"
#include "app/DialogUnits.h"
#include "app/ExportPage.h"
#include "app/InterestsPage.h"
#include "app/ModalRunner.h"
#include "app/NamePage.h"
#include "app/PersonalityPage.h"
#include "app/PreviewPane.h"
#include "app/ProgramResources.h"
#include "app/StartFolder.h"
#include "app/TextBoundary.h"
#include "app/TowniesPage.h"
#include "app/ViewControls.h"
#include "app/WaitCursor.h"
#include "app/WelcomePage.h"
#include "platform/Clock.h"
#include "platform/Debug.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStackedWidget>

namespace tryster::app {
namespace {

// The pages' area: left of the preview, above Back and Next.
constexpr QRect kPageArea(0, 0, 440, 302);
constexpr QSize kMoveButtonSize(120, 36);

}  // namespace

CTrysterDlg::CTrysterDlg(std::string appStartFolder, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_preview(m_look, *this),
      m_appStartFolder(std::move(appStartFolder)) {
    setWindowTitle(gameTextToQt(wizard::kWindowCaption));
    setWindowIcon(programIcon());
    setFixedSize(dluSize(525, 281));
    installAccessibility();

    m_stack = new QStackedWidget(this);
    m_stack->setGeometry(kPageArea);
    m_back = addButton("Back", QRect(dluPoint(37, 189), kMoveButtonSize), "Go back a step.");
    m_next = addButton("Next", QRect(dluPoint(157, 189), kMoveButtonSize), "Proceed to the next step.");
    connect(m_back, &QAbstractButton::clicked, this, &CTrysterDlg::back);
    connect(m_next, &QAbstractButton::clicked, this, &CTrysterDlg::next);
    m_commands = new CharacterCommands(this, *this);
    addPages();

    m_pane = new PreviewPane(this);
    // The pane's drawing surface holds both snapshot rectangles.
    m_pane->move(dluPoint(297, 7));
    m_pane->setExposedHandler([this] {
        if (!m_preview.initialised()) return;
        m_pacing.wantFrame();
        pace();
    });
    // Before the set-up the scale is kept for it.
    m_pane->setScaleHandler([this](float scale) {
        if (m_preview.renderScale() == scale || !m_preview.setRenderScale(scale)) return;
        m_pacing.wantFrame();
        pace();
    });
    auto* view = new ViewControls(this, m_preview);
    QAbstractButton* about = addButton("About", {306, 359, 90, 30}, "About this program.");
    QAbstractButton* help = addButton("Help", {306, 399, 90, 30}, "View the ReadMe file.");
    connect(about, &QAbstractButton::clicked, this, [this] {
        platform::playClick(platform::PlayMode::Wait);
        openAbout();
    });
    connect(help, &QAbstractButton::clicked, this, [this] {
        platform::playClick();
        platform::shell().open(platform::joinPath(m_appStartFolder, kReadmeFileName));
    });
    addWindowMenu();
    chainTabOrder(view->tabOrder(), about, help);

    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &CTrysterDlg::tick);
    m_pacing.setApplicationActive(QGuiApplication::applicationState() == Qt::ApplicationActive);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { setApplicationActive(state == Qt::ApplicationActive); });
}

// The pages read the look, which goes with the dialog's members, before
// the dialog's children would.
CTrysterDlg::~CTrysterDlg() {
    tearDown();
    delete m_stack;
}

QAbstractButton* CTrysterDlg::addButton(const char* caption, QRect at, const char* tip) {
    auto* button = new CPictureButton(QString::fromLatin1(caption), this);
    button->setGeometry(at);
    button->setToolTip(QString::fromLatin1(tip));
    button->loadBitmaps();
    return button;
}

template <typename Page, typename... Extra>
Page* CTrysterDlg::addPage(int step, Extra&... extra) {
    auto* page = new Page(*this, m_stack, extra...);
    m_stack->addWidget(page);
    m_pages[step] = page;
    // A page's move buttons lie over Back and Next, on the dialog.
    const WizardPage::MoveButtons& moves = page->moveButtons();
    for (auto [button, slot] : {std::pair{moves.back, m_back}, std::pair{moves.next, m_next}}) {
        if (!button) continue;
        button->setParent(this);
        button->setGeometry(slot->geometry());
        button->hide();
    }
    return page;
}

void CTrysterDlg::addPages() {
    using namespace wizard;
    auto* welcome = addPage<WelcomePage>(kWelcomeStep);
    connect(welcome, &WelcomePage::createChosen, this, &CTrysterDlg::next);
    connect(welcome, &WelcomePage::replaceChosen, this, [this] {
        platform::playClick();
        m_navigator.replace();
        showStep(step());
    });
    connect(welcome, &WelcomePage::restyleChosen, this, [this] {
        if (!m_commands->load()) return;
        m_navigator.next();
        showStep(step());
    });
    auto* look = addPage<AppearancePage>(kAppearanceStep);
    connect(look, &AppearancePage::nextAllowed, m_next, &QWidget::setEnabled);
    connect(look, &AppearancePage::saveBackPressed, m_commands->saveBackAction(), &QAction::trigger);
    connect(m_commands, &CharacterCommands::characterLoaded, look, &AppearancePage::showLoaded);
    addPage<NamePage>(kNameStep);
    addPage<PersonalityPage>(kPersonalityStep);
    addPage<InterestsPage>(kInterestsStep);
    addPage<CareerPage>(kCareerStep);
    addPage<ExportPage>(kExportStep);
    auto* townies = addPage<TowniesPage>(kNeighbourhoodStep);
    auto* dates = addPage<DatesPage>(kDatesStep);
    addPage<ConfirmReplacePage>(kConfirmStep, *townies, *dates);
}

// Each page in its own order, then the moves, the view controls, About and
// Help; the keyboard passes over what is hidden or disabled.
void CTrysterDlg::chainTabOrder(const QList<QWidget*>& viewControls, QWidget* about, QWidget* help) {
    QList<QWidget*> order;
    for (const auto& [step, page] : m_pages) order += page->tabOrder();
    for (QAbstractButton* slot : {m_back, m_next}) {
        order << slot;
        for (const auto& [step, page] : m_pages) {
            QAbstractButton* over = slot == m_back ? page->moveButtons().back : page->moveButtons().next;
            if (over && !order.contains(over)) order << over;
        }
    }
    order << viewControls << about << help;
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void CTrysterDlg::addWindowMenu() {
    m_systemMenu = new QMenu(this);
    offerWindowMenu(this, m_systemMenu);
    m_systemMenu->addSeparator();
    QAction* about = m_systemMenu->addAction(QStringLiteral("&About this program..."));
    about->setData(IDM_ABOUTBOX);
    connect(about, &QAction::triggered, this, &CTrysterDlg::openAbout);
    m_systemMenu->addSeparator();
    m_systemMenu->addActions({m_commands->loadAction(), m_commands->saveBackAction(), m_commands->rescanAction()});
}

void CTrysterDlg::setProgressTitle(const QString& stepText) {
    setWindowTitle(gameTextToQt(wizard::kWindowCaption) + QStringLiteral(": ") + stepText);
}

void CTrysterDlg::showProgress(std::string_view stepText) {
    setProgressTitle(gameTextToQt(stepText));
}

void CTrysterDlg::showMessage(std::string_view caption, std::string_view text) {
    app::showMessage(this, gameTextToQt(caption), gameTextToQt(text));
}

// --- Start and end ---------------------------------------------------------

void CTrysterDlg::initDialog() {
    // The one place the program seeds its random generator.
    platform::seedRandom(static_cast<std::uint32_t>(platform::calendarSeconds()));
    setProgressTitle(QStringLiteral("Initing Tool"));
    {
        const WaitCursor wait;
        CTitleDlg splash(this);
        runModal(splash);
    }
    platform::soundPlayer().stop();
    locateGame();
    setWindowIcon(programIcon());
    m_startFolder = chooseStartFolder(platform::fileSystem().currentDirectory(), platform::installedDataFolder());
    // No drive letters here; an empty or missing folder leaves the current
    // directory as it is.
    if (!m_installFolder.empty() && platform::fileSystem().setCurrentDirectory(m_installFolder))
        m_look.setInstallFolder(platform::fileSystem().currentDirectory());
    // The tips were set as the controls were made.
    setProgressTitle(QStringLiteral("Creating Tool Tips:"));
    setProgressTitle(QStringLiteral("Tool Initialized"));
    showStep(wizard::kWelcomeStep);
}

void CTrysterDlg::locateGame() {
    setProgressTitle(QStringLiteral("Checking for The Ploms"));
    const platform::RegistryValue found = platform::readMachineValue(kGameKey, kInstallValue);
    m_installFolder = found.value;
    if (found.keyOpened) {
        setProgressTitle(QStringLiteral("Found it:"));
        setProgressTitle(fileNameToQt(m_installFolder));
        return;
    }
    setProgressTitle(QStringLiteral("Not Found! Bailing"));
    app::showMessage(this, QStringLiteral("Error"), gameTextToQt(preview::kGameMissingText));
    postQuit(0);
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
    m_pacing.quit();
    pace();
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
    m_preview.tearDown();
}

void CTrysterDlg::automationAttached() {
    m_automationHeld = true;
}

void CTrysterDlg::automationReleased() {
    m_automationHeld = false;
    // The user closed the window while a client held it: close for real.
    if (m_hiddenByClose) done(QDialog::Rejected);
}

// --- The preview's frames --------------------------------------------------

void CTrysterDlg::tick() {
    if (!m_pacing.nextFrameDelayMs()) return;
    {
        const preview::FramePacing::Frame frame(m_pacing);
        if (!m_preview.initialised() && !m_preview.gameMissing()) {
            const WaitCursor wait;
            const QSize size = m_pane->surfaceSize();
            (void)preview::startPreview(m_preview, m_look, m_pane, size.width(), size.height(), m_pane->renderScale());
            if (m_preview.gameMissing()) m_pacing.setGameMissing();
        }
        drawFrame();
    }
    // Armed again only now, so frames never queue; the set-up is tried
    // again at the next tick until it completes.
    pace();
}

void CTrysterDlg::drawFrame() {
    if (m_preview.initialised() && !m_pacing.held()) (void)m_preview.frame(nullptr, true, true);
}

void CTrysterDlg::redrawNow() {
    drawFrame();
    m_pane->repaint();
}

void CTrysterDlg::pace() {
    const std::optional<int> delay = m_pacing.nextFrameDelayMs();
    if (!delay)
        m_frameTimer.stop();
    else if (!m_frameTimer.isActive() || m_frameTimer.interval() != *delay)
        m_frameTimer.start(*delay);
}

void CTrysterDlg::holdPreview(bool held) {
    if (held)
        m_pacing.hold();
    else
        m_pacing.release();
    pace();
}

exchange::CharacterReading CTrysterDlg::showCharacterFile(const std::string& path) {
    holdPreview(true);
    exchange::CharacterReading reading;
    {
        const WaitCursor wait;
        reading = exchange::readCharacter(path);
        if (reading.look) {
            m_look.showCharacter(*reading.look);
            m_preview.standStill();
        }
    }
    holdPreview(false);
    return reading;
}

void CTrysterDlg::setApplicationActive(bool active) {
    m_pacing.setApplicationActive(active);
    pace();
}

void CTrysterDlg::updateOnScreen() {
    m_pacing.setOnScreen(isVisible() && !isMinimized());
    pace();
}

void CTrysterDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_preview.windowMoved();
    updateOnScreen();
}

void CTrysterDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    updateOnScreen();
}

void CTrysterDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    m_preview.windowMoved();
}

void CTrysterDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        m_preview.windowMoved();
        updateOnScreen();
    } else if (event->type() == QEvent::WindowTitleChange) {
        platform::debugPrint("title", windowTitle().toStdString());
    }
}

// --- The wizard's moves and the commands -----------------------------------

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

void CTrysterDlg::openAbout() {
    CAboutDlg about(fileNameToQt(platform::joinPath(m_appStartFolder, kReadmeFileName)), this);
    runModal(about);
}

void CTrysterDlg::back() {
    platform::playClick();
    m_navigator.back();
    showStep(step());
}

void CTrysterDlg::next() {
    platform::playClick();
    if (!page(step())->leave()) return;
    m_navigator.next();
    showStep(step());
}

// Shows the step's page, its title and moves, and lets the page answer
// where the wizard goes; the keyboard starts at the first control of the
// page it stays on.
void CTrysterDlg::showStep(int step) {
    for (;;) {
        m_navigator.goTo(step);
        const wizard::Step& row = wizard::stepOf(step);
        if (row.title) setProgressTitle(gameTextToQt(*row.title));
        WizardPage* shown = page(step);
        m_stack->setCurrentWidget(shown);
        for (const auto& [other, page] : m_pages)
            for (QAbstractButton* over : {page->moveButtons().back, page->moveButtons().next}) {
                if (!over) continue;
                over->setVisible(page == shown);
                over->raise();
            }
        m_back->setEnabled(row.backEnabled);
        m_next->setEnabled(row.nextEnabled);
        const int answer = shown->enter(step);
        if (answer == step) break;
        step = answer;
    }
    const WizardPage* shown = page(step);
    QWidget* first = !shown->tabOrder().isEmpty() ? shown->tabOrder().front() : shown->moveButtons().next;
    if (first) first->setFocus();
}

}  // namespace tryster::app
