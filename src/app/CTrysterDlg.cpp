#include "app/CTrysterDlg.h"

#include "app/AboutCommands.h"
#include "app/Accessibility.h"
#include "app/AppearancePage.h"
#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTitleDlg.h"
#include "app/CareerPage.h"
#include "app/CharacterCommands.h"
#include "app/ConfirmReplacePage.h"
#include "app/DatesPage.h"
#include "app/DialogUnits.h"
#include "app/ExportPage.h"
#include "app/HistoryPage.h"
#include "app/InstallPage.h"
#include "app/InterestsPage.h"
#include "app/ModalRunner.h"
#include "app/NamePage.h"
#include "app/PersonalityPage.h"
#include "app/ProgramResources.h"
#include "app/StartFolder.h"
#include "app/TextBoundary.h"
#include "app/TowniesPage.h"
#include "app/ViewControls.h"
#include "app/WaitCursor.h"
#include "app/WelcomePage.h"
#include "exchange/GameFileNames.h"
#include "platform/Clock.h"
#include "platform/Debug.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/Sound.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>

namespace tryster::app {
namespace {

// The pages' area: left of the preview, above Back and Next.
constexpr QRect kPageArea(0, 0, 440, 302);
constexpr QSize kMoveButtonSize(120, 36);

}  // namespace

CTrysterDlg::CTrysterDlg(std::string appStartFolder, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_about(new AboutCommands(this, fileNameToQt(platform::joinPath(appStartFolder, kReadmeFileName)))) {
    setWindowTitle(gameTextToQt(wizard::kWindowCaption));
    setWindowIcon(programIcon());
    setFixedSize(dluSize(525, 281));
    installAccessibility();

    QAbstractButton* back = addMoveButton("Back", 37, "Go back a step.");
    m_next = addMoveButton("Next", 157, "Proceed to the next step.");
    connect(back, &QAbstractButton::clicked, this, &CTrysterDlg::back);
    connect(m_next, &QAbstractButton::clicked, this, &CTrysterDlg::next);
    m_pages = new PageStack(this, kPageArea, back, m_next);
    m_commands = new CharacterCommands(this, *this);
    m_live = new LivePreview(this, dluPoint(297, 7), m_look, *this);
    addPages();
    auto* view = new ViewControls(this, m_live->preview());
    systemMenu()->addSeparator();
    systemMenu()->addActions({m_commands->loadAction(), m_commands->saveBackAction(), m_commands->rescanAction()});
    // Each page in its own order, then the moves, the view controls, About
    // and Help; the keyboard passes over what is hidden or disabled.
    const QList<QWidget*> order = m_pages->tabOrder() + view->tabOrder() + m_about->tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

// The pages and the preview read the look, which goes with the dialog's
// members, before the dialog's children would.
CTrysterDlg::~CTrysterDlg() {
    delete m_live;
    delete m_pages;
}

QMenu* CTrysterDlg::systemMenu() const {
    return m_about->menu();
}

QAbstractButton* CTrysterDlg::addMoveButton(const char* caption, double dluX, const char* tip) {
    auto* button = new CPictureButton(QString::fromLatin1(caption), this);
    button->setGeometry(QRect(dluPoint(dluX, 189), kMoveButtonSize));
    button->setToolTip(QString::fromLatin1(tip));
    button->loadBitmaps();
    return button;
}

template <typename Page, typename... Extra>
Page* CTrysterDlg::addPage(int step, Extra&... extra) {
    auto* page = new Page(*this, m_pages, extra...);
    m_pages->add(step, page);
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
    auto* install = addPage<InstallPage>(kInstallStep);
    connect(welcome, &WelcomePage::installChosen, this, [this] {
        platform::playClick();
        m_navigator.install();
        showStep(step());
    });
    connect(install, &InstallPage::installPressed, this, &CTrysterDlg::next);
    connect(install, &InstallPage::cancelled, this, &CTrysterDlg::back);
    addPage<HistoryPage>(kHistoryStep);
    connect(welcome, &WelcomePage::historyChosen, this, [this] {
        platform::playClick();
        m_navigator.history();
        showStep(step());
    });
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
    const platform::RegistryValue found =
        platform::readMachineValue(exchange::kGameRegistryKey, exchange::kInstallFolderValue);
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
    // As a modal dialog's own loop would: the window takes the keyboard, and
    // assistive tools hear where its focus is.
    activateWindow();
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
    m_live->tearDown();
    return m_quitPosted ? m_quitCode : 0;
}

void CTrysterDlg::postQuit(int code) {
    if (m_quitPosted) return;
    m_quitPosted = true;
    m_quitCode = code;
    m_live->quit();
    if (m_loop) m_loop->exit(code);
}

void CTrysterDlg::done(int result) {
    if (m_automationHeld) {
        m_hiddenByClose = true;
        hide();
        return;
    }
    m_live->tearDown();
    QDialog::done(result);
    if (m_loop) m_loop->exit(0);
}

void CTrysterDlg::automationAttached() {
    m_automationHeld = true;
}

void CTrysterDlg::automationReleased() {
    m_automationHeld = false;
    // The user closed the window while a client held it: close for real.
    if (m_hiddenByClose) done(QDialog::Rejected);
}

void CTrysterDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange) platform::debugPrint("title", windowTitle().toStdString());
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
    systemMenu()->exec(event->globalPos());
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

// Shows the step's page with its title and moves, and lets the page answer
// where the wizard goes. The focus leaves the old page first: were it left
// on a control that the new page hides, the keyboard would pass through
// the next control on its way, and a screen reader would announce it.
void CTrysterDlg::showStep(int step) {
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    for (;;) {
        m_navigator.goTo(step);
        const wizard::Step& row = wizard::stepOf(step);
        if (row.title) setProgressTitle(gameTextToQt(*row.title));
        const int answer = m_pages->show(step, row.backEnabled, row.nextEnabled);
        if (answer == step) break;
        step = answer;
    }
    m_pages->focusFirst(step);
}

}  // namespace tryster::app
