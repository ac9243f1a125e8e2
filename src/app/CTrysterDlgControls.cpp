// The main dialog's controls: where they sit, their tips, and the preview's
// view controls (facing, rotation, zoom).

#include "app/CPictureButton.h"
#include "app/CTrysterDlg.h"
#include "app/ControlIds.h"
#include "app/ControlLookup.h"
#include "app/DialogUnits.h"
#include "app/ProgramResources.h"
#include "app/ToolTips.h"
#include "platform/Sound.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <array>

namespace tryster::app {
namespace {

// Facing list entries and the facing each sets, in quarter turns.
constexpr std::array<std::pair<const char*, float>, 4> kFacings = {
    {{"North West", 2.0f}, {"North East", 3.0f}, {"South West", 1.0f}, {"South East", 0.0f}}};
constexpr int kInitialFacing = 3;
// Rotate list entries and their speed, in quarter turns per second.
constexpr std::array<std::pair<const char*, float>, 3> kRotations = {
    {{"None", 0.0f}, {"Slow", 0.1f}, {"Fast", 1.5f}}};
constexpr int kZoomPositions = 5;

// The zoom slider's caption. Its text is the template's one line; it is
// drawn with "Zoom:" beside the slider and the three sizes under the ticks
// they name, and it draws the ticks (the style's own vanish on the red).
class ZoomLabel final : public QLabel {
public:
    ZoomLabel(QSlider* slider, QWidget* parent)
        : QLabel(QStringLiteral("Zoom: Small   Medium    Large"), parent), m_slider(slider) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QColor ink = palette().color(QPalette::WindowText);
        p.setPen(ink);
        QRect slider = m_slider->geometry().translated(-pos());
        p.drawText(QRect(0, slider.top(), slider.left() - 4, slider.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Zoom:"));
        QStyleOptionSlider option;
        option.initFrom(m_slider);
        int handle = m_slider->style()->pixelMetric(QStyle::PM_SliderLength, &option, m_slider);
        auto tickX = [&](int value) {
            return slider.left() + handle / 2 +
                   QStyle::sliderPositionFromValue(m_slider->minimum(), m_slider->maximum(), value,
                                                   slider.width() - handle);
        };
        for (int value = m_slider->minimum(); value <= m_slider->maximum(); ++value)
            p.drawLine(tickX(value), slider.bottom() - 3, tickX(value), slider.bottom());
        int top = slider.bottom() + 2, h = height() - top;
        p.drawText(QRect(slider.left(), top, 80, h), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Small"));
        p.drawText(QRect(tickX(2) - 40, top, 80, h), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Medium"));
        p.drawText(QRect(slider.right() - 79, top, 80, h), Qt::AlignRight | Qt::AlignTop, QStringLiteral("Large"));
    }

private:
    QSlider* m_slider;
};

template <typename T>
T* place(T* widget, int id, QRect geometry) {
    setControlId(widget, id);
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

void CTrysterDlg::createControls() {
    setFixedSize(dluSize(525, 281));

    // The preview: empty until the 3D view draws into it. Sized so the head
    // and body snapshot rectangles fall inside.
    auto* preview = place(new QFrame(this), IDC_PREVIEW, QRect(dluPoint(297, 7), dluSize(222, 267)));
    preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    preview->setAutoFillBackground(true);
    QPalette previewColours = preview->palette();
    previewColours.setColor(QPalette::Window, QColor(112, 0, 0));
    preview->setPalette(previewColours);

    auto* picture = place(new QLabel(this), IDC_STEP0_PICTURE, QRect(QPoint(16, 14), QSize(380, 284)));
    picture->setPixmap(programBitmap(IDB_STEP0));
    auto* welcome = place(new QLabel(QStringLiteral("Welcome to The Ploms Tryster!"), this), IDC_WELCOME,
                          QRect(QPoint(16, 14), QSize(380, 24)));
    welcome->hide();

    auto button = [this](const char* caption, int id, QPoint at) {
        auto* b = place(new CPictureButton(QString::fromLatin1(caption), this), id, QRect(at, QSize(120, 36)));
        return b;
    };
    auto* back = button("Back", IDC_BACK, dluPoint(37, 189));
    auto* next = button("Next", IDC_NEXT, dluPoint(157, 189));
    // The template puts Create one unit above Back; it is lined up with it
    // here so the button under it cannot show through.
    auto* create = button("Create", IDC_CREATE, dluPoint(37, 189));
    auto* replace = button("Replace", IDC_REPLACE, dluPoint(157, 189));
    auto* save = button("Save", IDC_SAVE, dluPoint(157, 189));
    save->hide();
    connect(back, &QPushButton::clicked, this, &CTrysterDlg::onBack);
    connect(next, &QPushButton::clicked, this, &CTrysterDlg::onNext);
    connect(create, &QPushButton::clicked, this, &CTrysterDlg::onCreate);
    connect(replace, &QPushButton::clicked, this, &CTrysterDlg::onReplace);

    // Never shown by any step; kept so their ids and tips exist.
    for (auto [caption, id] : {std::pair{"Load", IDC_LOAD}, {"Save", IDC_SAVE_BACK}, {"Reload", IDC_RELOAD}})
        place(new CPictureButton(QString::fromLatin1(caption), this), id, QRect(0, 0, 90, 30))->hide();

    createPreviewControls();

    auto* about = place(new CPictureButton(QStringLiteral("About"), this), IDC_ABOUT, QRect(306, 359, 90, 30));
    auto* help = place(new CPictureButton(QStringLiteral("Help"), this), IDC_HELP, QRect(306, 399, 90, 30));
    connect(about, &QPushButton::clicked, this, &CTrysterDlg::onAbout);
    connect(help, &QPushButton::clicked, this, &CTrysterDlg::onHelp);

    m_systemMenu = new QMenu(this);
    m_systemMenu->addSeparator();
    QAction* aboutCommand = m_systemMenu->addAction(QStringLiteral("&About this program..."));
    aboutCommand->setData(IDM_ABOUTBOX);
    connect(aboutCommand, &QAction::triggered, this, [this] { onSysCommand(IDM_ABOUTBOX); });
}

void CTrysterDlg::createPreviewControls() {
    auto* frame = place(new QFrame(this), IDC_VIEW_FRAME, QRect(16, 350, 380, 2));
    frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    place(new QLabel(QStringLiteral("Facing:"), this), IDC_FACING_LABEL, QRect(16, 362, 48, 24));
    auto* facing = place(new QComboBox(this), IDC_FACING_LIST, QRect(64, 362, 108, 24));
    for (const auto& [name, value] : kFacings) facing->addItem(QString::fromLatin1(name));
    place(new QLabel(QStringLiteral("Rotate:"), this), IDC_ROTATE_LABEL, QRect(182, 362, 48, 24));
    auto* rotate = place(new QComboBox(this), IDC_ROTATE_LIST, QRect(230, 362, 68, 24));
    for (const auto& [name, value] : kRotations) rotate->addItem(QString::fromLatin1(name));

    auto* zoom = new QSlider(Qt::Horizontal, this);
    place(new ZoomLabel(zoom, this), IDC_ZOOM_LABEL, QRect(16, 398, 284, 46));
    place(zoom, IDC_ZOOM_SLIDER, QRect(64, 398, 234, 24));
    zoom->raise();

    // Only the user's choices play the click (activated, not index changes
    // made by the program).
    connect(facing, &QComboBox::activated, this, [this](int index) {
        platform::playClick();
        if (index < 0 || index >= static_cast<int>(kFacings.size())) return;
        m_facing = kFacings[static_cast<std::size_t>(index)].second;
        m_rotationSpeed = 0.0f;
    });
    connect(rotate, &QComboBox::activated, this, [this](int index) {
        platform::playClick();
        if (index < 0 || index >= static_cast<int>(kRotations.size())) return;
        m_rotationSpeed = kRotations[static_cast<std::size_t>(index)].second;
    });
    connect(zoom, &QSlider::valueChanged, this, [this](int position) { m_zoomLevel = position; });
}

void CTrysterDlg::initPreviewControls() {
    if (auto* zoom = qobject_cast<QSlider*>(control(IDC_ZOOM_SLIDER))) {
        zoom->setTickInterval(1);
        zoom->setRange(0, kZoomPositions - 1);
        zoom->setValue(m_zoomLevel);
    }
    if (auto* facing = qobject_cast<QComboBox*>(control(IDC_FACING_LIST))) facing->setCurrentIndex(kInitialFacing);
    if (auto* rotate = qobject_cast<QComboBox*>(control(IDC_ROTATE_LIST))) rotate->setCurrentIndex(0);
}

void CTrysterDlg::loadPictureButtons() {
    for (int id : {IDC_ABOUT, IDC_BACK, IDC_NEXT, IDC_SAVE, IDC_TOP_ADD, IDC_LOW_ADD, IDC_TOP_REMOVE,
                   IDC_LOW_REMOVE, IDC_HELP, IDC_CREATE, IDC_REPLACE})
        if (auto* button = qobject_cast<CPictureButton*>(control(id))) button->loadBitmaps();
}

void CTrysterDlg::registerToolTips() {
    for (const ToolTip& tip : kToolTips) {
        QWidget* widget = control(tip.controlId);
        if (widget && widget->toolTip().isEmpty()) widget->setToolTip(QString::fromLatin1(tip.text));
    }
}

}  // namespace tryster::app
