#include "app/ViewControls.h"

#include "app/TextBoundary.h"
#include "app/WizardPage.h"
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

ViewControls::ViewControls(QWidget* window, preview::Preview& preview) : QObject(window), m_preview(preview) {
    auto place = [](QWidget* w, const QRect& at) {
        w->setGeometry(at);
        return w;
    };
    auto* frame = new QFrame(window);
    place(frame, {16, 350, 380, 2});
    frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    auto* facingLabel = new QLabel(QStringLiteral("Facing:"), window);
    place(facingLabel, {16, 362, 48, 24});
    m_facing = new QComboBox(window);
    place(m_facing, {64, 362, 108, 24});
    for (const auto& [name, facing] : preview::kFacings) m_facing->addItem(gameTextToQt(name));
    m_facing->setToolTip(QStringLiteral("Change Plom to face in this direction."));
    nameAfterLabel(facingLabel, m_facing);

    auto* rotateLabel = new QLabel(QStringLiteral("Rotate:"), window);
    place(rotateLabel, {182, 362, 48, 24});
    m_rotate = new QComboBox(window);
    place(m_rotate, {230, 362, 68, 24});
    for (const auto& [name, speed] : preview::kRotations) m_rotate->addItem(gameTextToQt(name));
    m_rotate->setToolTip(QStringLiteral("Auto rotate the Plom."));
    nameAfterLabel(rotateLabel, m_rotate);

    m_zoom = new QSlider(Qt::Horizontal, window);
    auto* zoomLabel = new ZoomLabel(m_zoom, window);
    place(zoomLabel, {16, 398, 284, 46});
    place(m_zoom, {64, 398, 234, 24});
    m_zoom->setPageStep(1);
    m_zoom->setTickInterval(1);
    m_zoom->setRange(0, preview::kMaxZoomLevel);
    m_zoom->setValue(preview.view().zoomLevel);
    m_zoom->setToolTip(QStringLiteral("Change the size of the displayed Plom."));
    m_zoom->raise();
    nameAfterLabel(zoomLabel, m_zoom);
    m_zoom->setAccessibleName(QStringLiteral("Zoom"));  // the label's first word; the rest name the ticks
    m_facing->setCurrentIndex(kInitialFacing);
    m_rotate->setCurrentIndex(kInitialRotation);

    // Every change of selection from here on is the player's (by mouse,
    // keyboard or an assistive tool). The zoom slider plays no click.
    connect(m_facing, &QComboBox::currentIndexChanged, this, &ViewControls::facingChosen);
    connect(m_rotate, &QComboBox::currentIndexChanged, this, &ViewControls::rotationChosen);
    connect(m_zoom, &QSlider::valueChanged, this, [this](int level) { m_preview.setZoomLevel(level); });
}

QList<QWidget*> ViewControls::tabOrder() const {
    return {m_facing, m_rotate, m_zoom};
}

void ViewControls::facingChosen(int index) {
    platform::playClick();
    if (index < 0 || index >= static_cast<int>(preview::kFacings.size())) return;
    m_preview.setFacing(preview::kFacings[static_cast<std::size_t>(index)].second);
}

void ViewControls::rotationChosen(int index) {
    platform::playClick();
    if (index < 0 || index >= static_cast<int>(preview::kRotations.size())) return;
    m_preview.setRotationSpeed(preview::kRotations[static_cast<std::size_t>(index)].second);
}

}  // namespace tryster::app
