#include "Framing.h"

#include <QFontMetrics>
#include <QIcon>
#include <QImageWriter>
#include <QPainter>
#include <QWidget>

namespace tryster::docshots {
namespace {

constexpr int kTitleHeight = 26;
constexpr int kIconSize = 16;
const QColor kTitleColour(46, 46, 52);
const QColor kTitleText(240, 240, 240);
const QColor kEdge(20, 20, 24);

}  // namespace

QPoint insideOrigin() {
    return {1, kTitleHeight};
}

QImage framed(QWidget& window) {
    const QImage inside = window.grab().toImage();
    QImage out(inside.width() + 2, inside.height() + kTitleHeight + 1, QImage::Format_RGB32);
    out.fill(kEdge);
    QPainter p(&out);
    const QRect bar(1, 1, inside.width(), kTitleHeight - 1);
    p.fillRect(bar, kTitleColour);
    int textLeft = bar.left() + 8;
    const QIcon icon = window.windowIcon();
    if (!icon.isNull()) {
        p.drawPixmap(textLeft, bar.top() + (bar.height() - kIconSize) / 2,
                     icon.pixmap(kIconSize, kIconSize));
        textLeft += kIconSize + 6;
    }
    QFont font = window.font();
    font.setBold(true);
    p.setFont(font);
    p.setPen(kTitleText);
    const QRect textRect(textLeft, bar.top(), bar.right() - textLeft - 8, bar.height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(font).elidedText(window.windowTitle(), Qt::ElideRight, textRect.width()));
    p.drawImage(insideOrigin(), inside);
    return out;
}

QImage overlay(const QImage& under, const QImage& over, QPoint at) {
    QImage out = under.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    // A soft edge so the dialog stands off the window behind it.
    for (int i = 1; i <= 3; ++i)
        p.fillRect(QRect(at + QPoint(i, i), over.size()), QColor(0, 0, 0, 40));
    p.drawImage(at, over);
    return out;
}

QPoint centredOn(const QImage& under, const QImage& over) {
    const QRect inside(insideOrigin(), under.size() - QSize(2, kTitleHeight + 1));
    return inside.center() - QPoint(over.width() / 2, over.height() / 2);
}

bool savePicture(const QImage& picture, const QString& path) {
    QImageWriter writer(path, "png");
    // Qt's PNG writer takes 0-100 here and stores uncompressed at 9.
    writer.setCompression(100);
    return writer.write(picture.convertToFormat(QImage::Format_RGB888));
}

}  // namespace tryster::docshots
