#include "app/ViewControls.h"

#include "app/ControlIds.h"
#include "platform/Sound.h"
#include "preview/CameraPlacement.h"
#include "preview/Preview.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tryster::app {
namespace {

constexpr int kInitialFacing = 3;    // "South East"
constexpr int kInitialRotation = 0;  // "None"

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
        p.setPen(palette().color(QPalette::WindowText));
        QRect slider = m_slider->geometry().translated(-pos());
        p.drawText(QRect(0, slider.top(), slider.left() - 4, slider.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zoom:"));
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
        p.drawText(QRect(tickX(2) - 40, top, 80, h), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Medium"));
        p.drawText(QRect(slider.right() - 79, top, 80, h), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("Large"));
    }

private:
    QSlider* m_slider;
};

}  // namespace

ViewControls::ViewControls(const PageContext& context) : WizardPage(context) {
    QWidget* d = dialog();
    auto* frame = place(new QFrame(d), IDC_VIEW_FRAME, {16, 350, 380, 2});
    frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto* facingLabel = placeLabel(QStringLiteral("Facing:"), IDC_FACING_LABEL, {16, 362, 48, 24});
    m_facing = place(new QComboBox(d), IDC_FACING_LIST, {64, 362, 108, 24});
    for (const auto& [name, facing] : preview::kFacings)
        m_facing->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    nameAfterLabel(facingLabel, m_facing);

    auto* rotateLabel = placeLabel(QStringLiteral("Rotate:"), IDC_ROTATE_LABEL, {182, 362, 48, 24});
    m_rotate = place(new QComboBox(d), IDC_ROTATE_LIST, {230, 362, 68, 24});
    for (const auto& [name, speed] : preview::kRotations)
        m_rotate->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    nameAfterLabel(rotateLabel, m_rotate);

    m_zoom = new QSlider(Qt::Horizontal, d);
    auto* zoomLabel = place(new ZoomLabel(m_zoom, d), IDC_ZOOM_LABEL, {16, 398, 284, 46});
    place(m_zoom, IDC_ZOOM_SLIDER, {64, 398, 234, 24});
    m_zoom->setPageStep(1);
    m_zoom->raise();
    nameAfterLabel(zoomLabel, m_zoom);
    m_zoom->setAccessibleName(QStringLiteral("Zoom"));  // the label's first word; the rest name the ticks

    // Every change of selection is the user's (by mouse, keyboard or an
    // assistive tool): the program's own selections block these signals.
    // The zoom slider plays no click.
    connect(m_facing, &QComboBox::currentIndexChanged, this, &ViewControls::facingChosen);
    connect(m_rotate, &QComboBox::currentIndexChanged, this, &ViewControls::rotationChosen);
    connect(m_zoom, &QSlider::valueChanged, this,
            [this](int position) { preview().view().zoomLevel = position; });
}

void ViewControls::initialise() {
    const QSignalBlocker blockZoom(m_zoom), blockFacing(m_facing), blockRotate(m_rotate);
    m_zoom->setTickInterval(1);
    m_zoom->setRange(0, static_cast<int>(preview::kZoomScales.size()) - 1);
    m_zoom->setValue(preview().view().zoomLevel);
    m_facing->setCurrentIndex(kInitialFacing);
    m_rotate->setCurrentIndex(kInitialRotation);
}

void ViewControls::facingChosen(int index) {
    platform::playClick();
    if (index < 0 || index >= static_cast<int>(preview::kFacings.size())) return;
    preview::ViewControls& view = preview().view();
    view.facing = preview::kFacings[static_cast<std::size_t>(index)].second;
    view.rotationSpeed = 0.0f;
}

void ViewControls::rotationChosen(int index) {
    platform::playClick();
    if (index < 0 || index >= static_cast<int>(preview::kRotations.size())) return;
    preview().view().rotationSpeed = preview::kRotations[static_cast<std::size_t>(index)].second;
}

}  // namespace tryster::app
