#include "app/PreviewPane.h"

#include "platform/SurfacePixels.h"
#include "preview/Preview.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace tryster::app {
namespace {

// What the pane shows before the first frame: the preview's own background.
const QColor kEmptyColour(142, 0, 0);

// `count` pixels of a 32-bit frame's row from `in`, copied and made opaque
// in one pass (the frame's fourth byte is not alpha).
void copyOpaque(const std::uint8_t* in, std::uint32_t* out, int count) {
    for (int x = 0; x < count; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, in + x * 4, 4);
        out[x] = pixel | 0xFF000000u;
    }
}

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

// A frame is painted straight from the locked surface when it can be:
// 32 bits a pixel, the picture's size, the pane shown, a store it can be
// written into, and not while the copy is being brought up to date. Any
// other goes into the copy.
void PreviewPane::showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) {
    const bool straight = !m_copyFrames && m_storeWritable && frame.format.bitsPerPixel == 32 &&
                          frame.width == m_picture.width() && frame.height == m_picture.height() && isVisible() &&
                          updatesEnabled();
    if (!straight) {
        copyFrame(frame, source);
        return;
    }
    const platform::ScreenRect r = platform::intersect(source, {0, 0, frame.width, frame.height});
    if (r.empty()) return;
    m_locked = &frame;
    m_lockedPart = r;
    m_pictureBehind = true;
    ++m_framesShown;
    m_ownUpdate = true;
    repaint(paneRect(r));  // at once: the frame is ours only while locked
    m_locked = nullptr;
}

// Writes the region's part of the locked frame into the store, each pixel
// made opaque; false, writing nothing, unless the frame's pixels fall one
// to one on whole device pixels.
bool PreviewPane::paintStraight(QImage& store, const QTransform& toDevice, const QRegion& region) {
    const platform::LockedSurface& frame = *m_locked;
    const QRect surface = surfaceRect();
    const qreal ratio = devicePixelRatioF();
    if (frame.width != qRound(surface.width() * ratio) || frame.height != qRound(surface.height() * ratio) ||
        toDevice.type() > QTransform::TxScale || toDevice.m11() != ratio || toDevice.m22() != ratio)
        return false;
    const QPointF origin = toDevice.map(QPointF(surface.topLeft()));
    const QPoint at = origin.toPoint();
    if (QPointF(at) != origin) return false;
    const QRect inFrame(0, 0, frame.width, frame.height);
    for (const QRect& part : region & surface) {
        // In the frame's pixels, within both the frame and the store.
        const QRect device = toDevice.mapRect(QRectF(part)).toAlignedRect() & store.rect();
        const QRect pixels = device.translated(-at) & inFrame;
        for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
            // The store as the painter's engine sees it: constScanLine, as
            // scanLine would copy a shared store away from the engine.
            auto* out = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(store.constScanLine(y + at.y()))) +
                        pixels.left() + at.x();
            copyOpaque(frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + pixels.left() * 4, out,
                       pixels.width());
        }
    }
    return true;
}

// Rows of the presented part go into the copy; 32-bit frames row by row as
// they are (alpha made opaque), other depths through the usual conversions.
void PreviewPane::copyFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) {
    if (m_picture.width() != frame.width || m_picture.height() != frame.height) {
        // A surface of another scale: the picture takes its size.
        m_picture = QImage(frame.width, frame.height, QImage::Format_RGB32);
        m_picture.fill(kEmptyColour);
        if (m_framesShown > 0) m_pictureBehind = true;
    }
    const platform::ScreenRect r = platform::intersect(source, {0, 0, m_picture.width(), m_picture.height()});
    if (r.empty()) return;
    // One detach check for the whole copy, not one per row.
    std::uint8_t* const rows = m_picture.bits();
    const qsizetype rowBytes = m_picture.bytesPerLine();
    for (int y = r.top; y < r.bottom; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(rows + y * rowBytes) + r.left;
        if (frame.format.bitsPerPixel == 32) {
            copyOpaque(frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch + r.left * 4, out, r.width());
        } else if (!platform::convertPixels(frame, {r.left, y, r.right, y + 1}, out)) {
            return;
        }
    }
    if (r.left == 0 && r.top == 0 && r.right == m_picture.width() && r.bottom == m_picture.height())
        m_pictureBehind = false;
    if (m_copyFrames) return;  // the last frame again, for a paint under way or a reader
    ++m_framesShown;
    m_ownUpdate = true;
    update(paneRect(r));
}

// The presented part in the pane's units.
QRect PreviewPane::paneRect(const platform::ScreenRect& r) const {
    const QRect surface = surfaceRect();
    const double sx = static_cast<double>(surface.width()) / m_picture.width();
    const double sy = static_cast<double>(surface.height()) / m_picture.height();
    const QRectF changed(r.left * sx, r.top * sy, r.width() * sx, r.height() * sy);
    return changed.toAlignedRect().translated(surface.topLeft()) & surface;
}

void PreviewPane::refreshPicture() {
    if (!m_pictureBehind || !m_refresh || m_copyFrames) return;
    m_copyFrames = true;
    (void)m_refresh();  // a frame presented again comes whole, into the copy
    m_copyFrames = false;
}

const QImage& PreviewPane::picture() {
    refreshPicture();
    return m_picture;
}

void PreviewPane::paintEvent(QPaintEvent* event) {
    checkScale();
    QPainter painter(this);
    // The window's store, when its pixels are 32-bit words 0xAARRGGBB.
    QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    QImage* store = device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    if (store && store->format() != QImage::Format_RGB32 && store->format() != QImage::Format_ARGB32 &&
        store->format() != QImage::Format_ARGB32_Premultiplied)
        store = nullptr;
    m_storeWritable = store != nullptr;
    bool painted = false;
    if (m_locked) {
        painted = store && paintStraight(*store, painter.deviceTransform(), event->region());
        if (!painted) {  // the store changed under the frame: through the copy after all
            m_copyFrames = true;
            copyFrame(*m_locked, m_lockedPart);
            m_copyFrames = false;
        }
    } else {
        // A paint of the toolkit's own (uncovered, shown) has no frame in
        // hand: the copy is brought up to date for it.
        refreshPicture();
    }
    const QRect surface = surfaceRect();
    const qreal ratio = devicePixelRatioF();
    if (!painted) {
        if (m_picture.width() == qRound(surface.width() * ratio) &&
            m_picture.height() == qRound(surface.height() * ratio)) {
            // One picture pixel per device pixel: a plain copy, no filtering.
            if (m_picture.devicePixelRatio() != ratio) m_picture.setDevicePixelRatio(ratio);
            painter.drawImage(surface.topLeft(), m_picture);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(surface, m_picture);
        }
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
