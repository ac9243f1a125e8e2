#include "app/CPictureButton.h"

#include "app/ProgramResources.h"

#include <QPainter>

namespace tryster::app {

CPictureButton::CPictureButton(const QString& caption, QWidget* parent, QString bitmapBase)
    : QPushButton(caption, parent), m_bitmapBase(std::move(bitmapBase)) {}

QString CPictureButton::bitmapName(char suffix) const {
    if (!m_bitmapBase.isEmpty()) return m_bitmapBase + QLatin1Char(suffix);
    QString caption = text();
    caption.remove(QLatin1Char('&'));
    return caption.toUpper() + QLatin1Char(suffix);
}

bool CPictureButton::loadBitmaps() {
    QPixmap up = programBitmap(bitmapName('U'));
    QPixmap down = programBitmap(bitmapName('D'));
    QPixmap focused = programBitmap(bitmapName('F'));
    QPixmap disabled = programBitmap(bitmapName('X'));
    if (up.isNull() || down.isNull() || focused.isNull() || disabled.isNull()) return false;
    m_up = up;
    m_down = down;
    m_focused = focused;
    m_disabled = disabled;
    setFixedSize(m_up.size());
    setFlat(true);
    update();
    return true;
}

const QPixmap& CPictureButton::currentBitmap() const {
    if (!isEnabled()) return m_disabled;
    if (isDown()) return m_down;
    if (hasFocus()) return m_focused;
    return m_up;
}

void CPictureButton::paintEvent(QPaintEvent* event) {
    if (!hasBitmaps()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, currentBitmap());
}

}  // namespace tryster::app
