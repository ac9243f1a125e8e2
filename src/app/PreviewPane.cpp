#include "app/PreviewPane.h"

#include "platform/SurfacePixels.h"
#include "preview/Preview.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace tryster::app {
namespace {

// What the pane shows before the first frame: the preview's own background.
const QColor kEmptyColour(142, 0, 0);

}  // namespace

PreviewPane::PreviewPane(QWidget* parent)
    : QFrame(parent), m_picture(preview::kPreviewWidth, preview::kPreviewHeight, QImage::Format_RGB32) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setLineWidth(1);
    const int frame = frameWidth();
    setFixedSize(preview::kPreviewWidth + 2 * frame, preview::kPreviewHeight + 2 * frame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture.fill(kEmptyColour);
    setAccessibleName(QStringLiteral("Preview"));
    setAccessibleDescription(QStringLiteral("The Plom as it looks now"));
}

QSize PreviewPane::surfaceSize() const {
    return {preview::kPreviewWidth, preview::kPreviewHeight};
}

float PreviewPane::renderScale() const {
    return std::clamp(static_cast<float>(devicePixelRatioF()), preview::kMinRenderScale, preview::kMaxRenderScale);
}

// The first report sets the scale without a call; later changes are told
// from the event loop, so the preview's surfaces are never made anew from
// inside a paint.
void PreviewPane::checkScale() {
    const float scale = renderScale();
    if (scale == m_scale) return;
    const bool first = m_scale == 0;
    m_scale = scale;
    if (!first && m_scaleChanged)
        QTimer::singleShot(0, this, [this] {
            if (m_scaleChanged) m_scaleChanged(m_scale);
        });
}

bool PreviewPane::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show) checkScale();
    return QFrame::event(event);
}

platform::ScreenRect PreviewPane::screenRect() {
    const QRect r = surfaceRect();
    const QPoint topLeft = mapToGlobal(r.topLeft());
    return {topLeft.x(), topLeft.y(), topLeft.x() + r.width(), topLeft.y() + r.height()};
}

// Rows of the presented part go into the copy; 32-bit frames row by row as
// they are (alpha made opaque), other depths through the usual conversions.
void PreviewPane::showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) {
    if (m_picture.width() != frame.width || m_picture.height() != frame.height) {
        // A surface of another scale: the picture takes its size.
        m_picture = QImage(frame.width, frame.height, QImage::Format_RGB32);
        m_picture.fill(kEmptyColour);
    }
    const platform::ScreenRect r = platform::intersect(source, {0, 0, m_picture.width(), m_picture.height()});
    if (r.empty()) return;
    // One detach check for the whole copy, not one per row.
    std::uint8_t* const rows = m_picture.bits();
    const qsizetype rowBytes = m_picture.bytesPerLine();
    for (int y = r.top; y < r.bottom; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(rows + y * rowBytes) + r.left;
        if (frame.format.bitsPerPixel == 32) {
            const std::uint8_t* row =
                frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + r.left * 4;
            for (int x = 0; x < r.width(); ++x) {  // one pass: copied and made opaque
                std::uint32_t pixel;
                std::memcpy(&pixel, row + x * 4, 4);
                out[x] = pixel | 0xFF000000u;
            }
        } else if (!platform::convertPixels(frame, {r.left, y, r.right, y + 1}, out)) {
            return;
        }
    }
    ++m_framesShown;
    m_ownUpdate = true;
    // Only the presented part is painted again, in the pane's units.
    const QRect surface = surfaceRect();
    const double sx = static_cast<double>(surface.width()) / m_picture.width();
    const double sy = static_cast<double>(surface.height()) / m_picture.height();
    const QRectF changed(r.left * sx, r.top * sy, r.width() * sx, r.height() * sy);
    update(changed.toAlignedRect().translated(surface.topLeft()) & surface);
}

void PreviewPane::paintEvent(QPaintEvent* event) {
    checkScale();
    QPainter painter(this);
    const QRect surface = surfaceRect();
    const qreal ratio = devicePixelRatioF();
    if (m_picture.width() == qRound(surface.width() * ratio) &&
        m_picture.height() == qRound(surface.height() * ratio)) {
        // One picture pixel per device pixel: a plain copy, no filtering.
        if (m_picture.devicePixelRatio() != ratio) m_picture.setDevicePixelRatio(ratio);
        painter.drawImage(surface.topLeft(), m_picture);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(surface, m_picture);
    }
    painter.end();
    // The frame around the picture, unless only the picture is painted
    // (each frame of ours): the style's frame drawing costs as much as
    // the picture's.
    if (!surface.contains(event->rect())) QFrame::paintEvent(event);
    const bool exposed = !m_ownUpdate;
    m_ownUpdate = false;
    if (exposed && m_exposed) m_exposed();
}

}  // namespace tryster::app
