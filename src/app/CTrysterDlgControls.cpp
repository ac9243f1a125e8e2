// The main dialog's controls: the wizard's buttons, the pages, the preview
// pane and its view controls, where they sit, their tips and the order the
// keyboard visits them in.

#include "app/Accessibility.h"
#include "app/AppearancePage.h"
#include "app/CPictureButton.h"
#include "app/CTrysterDlg.h"
#include "app/CareerPage.h"
#include "app/ControlIds.h"
#include "app/DialogUnits.h"
#include "app/ExportPage.h"
#include "app/InterestsPage.h"
#include "app/LoadCommands.h"
#include "app/NamePage.h"
#include "app/PersonalityPage.h"
#include "app/PreviewPane.h"
#include "app/ProgramResources.h"
#include "app/ReplacePage.h"
#include "app/ToolTips.h"
#include "app/ViewControls.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace tryster::app {
namespace {

// The keyboard visits the controls in reading order: the page from top to
// bottom, the wizard's moves, the view controls, About and Help. Hidden
// controls are passed over.
constexpr int kTabOrder[] = {IDC_BODY_TYPE_LIST,
                             IDC_SKIN_TYPE_LIST,
                             IDC_MALE,
                             IDC_FEMALE,
                             IDC_BODY_MESH_LIST,
                             IDC_BODY_TEXTURE_LIST,
                             IDC_HEAD_MESH_LIST,
                             IDC_HEAD_TEXTURE_LIST,
                             IDC_NAME,
                             IDC_DESCRIPTION,
                             IDC_NICE_SLIDER,
                             IDC_NEAT_SLIDER,
                             IDC_OUTGOING_SLIDER,
                             IDC_ACTIVE_SLIDER,
                             IDC_PLAYFUL_SLIDER,
                             IDC_SIGN_BUTTON,
                             IDC_TOP_INTERESTS,
                             IDC_TOP_ADD,
                             IDC_TOP_REMOVE,
                             IDC_REMAINING_INTERESTS,
                             IDC_LOW_INTERESTS,
                             IDC_LOW_ADD,
                             IDC_LOW_REMOVE,
                             IDC_JOB_TRACK,
                             IDC_JOB_LEVEL,
                             IDC_TOWNIE_LIST,
                             IDC_DATE_LIST,
                             IDC_CREATE,
                             IDC_BACK,
                             IDC_REPLACE,
                             IDC_NEXT,
                             IDC_SAVE,
                             IDC_FACING_LIST,
                             IDC_ROTATE_LIST,
                             IDC_ZOOM_SLIDER,
                             IDC_ABOUT,
                             IDC_HELP};

constexpr QSize kMoveButtonSize(120, 36);

}  // namespace

void CTrysterDlg::createControls() {
    setFixedSize(dluSize(525, 281));
    m_systemMenu = new QMenu(this);
    offerWindowMenu(this, m_systemMenu);
    createPages();

    auto button = [this](const char* caption, int id, QPoint at, QSize size) {
        auto* b = new CPictureButton(QString::fromLatin1(caption), this);
        m_controls.add(id, b);
        b->setGeometry(QRect(at, size));
        return b;
    };
    auto* picture = new QLabel(this);
    m_controls.add(IDC_STEP0_PICTURE, picture);
    picture->setGeometry(QRect(QPoint(16, 14), QSize(380, 284)));
    picture->setPixmap(programBitmap(IDB_STEP0));
    picture->setAccessibleName(QStringLiteral("Welcome to The Ploms Tryster"));
    auto* welcome = new QLabel(QStringLiteral("Welcome to The Ploms Tryster!"), this);
    m_controls.add(IDC_WELCOME, welcome);
    welcome->setGeometry(QRect(QPoint(16, 14), QSize(380, 24)));
    welcome->hide();

    auto* back = button("Back", IDC_BACK, dluPoint(37, 189), kMoveButtonSize);
    auto* next = button("Next", IDC_NEXT, dluPoint(157, 189), kMoveButtonSize);
    // The template puts Create one unit above Back; it is lined up with it
    // here so the button under it cannot show through.
    auto* create = button("Create", IDC_CREATE, dluPoint(37, 189), kMoveButtonSize);
    auto* replace = button("Replace", IDC_REPLACE, dluPoint(157, 189), kMoveButtonSize);
    connect(back, &QPushButton::clicked, this, &CTrysterDlg::onBack);
    connect(next, &QPushButton::clicked, this, &CTrysterDlg::onNext);
    connect(create, &QPushButton::clicked, this, &CTrysterDlg::onCreate);
    connect(replace, &QPushButton::clicked, this, &CTrysterDlg::onReplace);

    // Never shown by any step; the window menu offers their commands.
    m_loadCommands = new LoadCommands(this, *this, *m_preview, m_record);
    const std::pair<const char*, int> hidden[] = {{"Load", IDC_LOAD}, {"Save", IDC_SAVE_BACK}, {"Reload", IDC_RELOAD}};
    for (auto [caption, id] : hidden) button(caption, id, {0, 0}, {90, 30})->hide();
    connect(m_controls.get<QPushButton>(IDC_LOAD), &QPushButton::clicked, m_loadCommands, &LoadCommands::load);
    connect(m_controls.get<QPushButton>(IDC_SAVE_BACK), &QPushButton::clicked, m_loadCommands,
            &LoadCommands::saveBack);
    connect(m_controls.get<QPushButton>(IDC_RELOAD), &QPushButton::clicked, m_loadCommands, &LoadCommands::rescan);
    connect(m_loadCommands, &LoadCommands::saveBackEnabled, this, [this](bool on) { setEnabled(IDC_SAVE_BACK, on); });

    m_pane = new PreviewPane(this);
    m_controls.add(IDC_PREVIEW, m_pane);
    // The pane's drawing surface holds both snapshot rectangles.
    m_pane->move(dluPoint(297, 7));
    m_pane->setExposedHandler([this] { requestFrame(); });
    m_pane->setScaleHandler([this](float scale) {
        // Before the set-up the scale is kept for it.
        if (m_preview->renderScale() != scale && m_preview->setRenderScale(scale)) requestFrame();
    });

    new ViewControls({this, &m_controls, &m_record, m_preview.get(), this});

    auto* about = button("About", IDC_ABOUT, {306, 359}, {90, 30});
    auto* help = button("Help", IDC_HELP, {306, 399}, {90, 30});
    connect(about, &QPushButton::clicked, this, &CTrysterDlg::onAbout);
    connect(help, &QPushButton::clicked, this, &CTrysterDlg::onHelp);

    m_systemMenu->addSeparator();
    QAction* aboutCommand = m_systemMenu->addAction(QStringLiteral("&About this program..."));
    aboutCommand->setData(IDM_ABOUTBOX);
    connect(aboutCommand, &QAction::triggered, this, [this] { onSysCommand(IDM_ABOUTBOX); });
    // The template's hidden Load, Save and Reload buttons, where players
    // can reach them.
    m_systemMenu->addSeparator();
    m_systemMenu->addAction(m_loadCommands->loadAction());
    m_systemMenu->addAction(m_loadCommands->saveBackAction());
    m_systemMenu->addAction(m_loadCommands->rescanAction());

    setTabOrder();
}

void CTrysterDlg::createPages() {
    const PageContext context{this, &m_controls, &m_record, m_preview.get(), this};
    m_pages[wizard::kAppearanceStep] = new AppearancePage(context);
    m_pages[wizard::kNameStep] = new NamePage(context);
    m_pages[wizard::kPersonalityStep] = new PersonalityPage(context);
    m_pages[wizard::kInterestsStep] = new InterestsPage(context);
    m_pages[wizard::kCareerStep] = new CareerPage(context);
    m_pages[wizard::kExportStep] = new ExportPage(context);
    m_replace = new ReplacePage(context);
    for (int step : {wizard::kNeighbourhoodStep, wizard::kDatesStep, wizard::kConfirmStep}) m_pages[step] = m_replace;
}

void CTrysterDlg::setTabOrder() {
    QWidget* previous = nullptr;
    for (int id : kTabOrder) {
        QWidget* widget = control(id);
        if (!widget) continue;
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void CTrysterDlg::loadPictureButtons() {
    for (int id : {IDC_ABOUT, IDC_BACK, IDC_NEXT, IDC_SAVE, IDC_TOP_ADD, IDC_LOW_ADD, IDC_TOP_REMOVE,
                   IDC_LOW_REMOVE, IDC_HELP, IDC_CREATE, IDC_REPLACE})
        if (auto* button = m_controls.get<CPictureButton>(id)) button->loadBitmaps();
}

void CTrysterDlg::registerToolTips() {
    for (const ToolTip& tip : kToolTips) {
        QWidget* widget = control(tip.controlId);
        if (widget && widget->toolTip().isEmpty()) widget->setToolTip(QString::fromLatin1(tip.text));
    }
}

}  // namespace tryster::app
