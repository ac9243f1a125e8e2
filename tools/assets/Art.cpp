#include "Art.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <cstdio>

namespace tryster::assets {

bool Output::prepare(const QString& relativePath, QString& fullPath) {
    fullPath = folder_ + QLatin1Char('/') + relativePath;
    if (QDir().mkpath(QFileInfo(fullPath).absolutePath())) return true;
    std::fprintf(stderr, "tryster-assets: cannot make the folder of %s\n", qPrintable(fullPath));
    ok_ = false;
    return false;
}

bool Output::savePng(const QImage& image, const QString& relativePath) {
    QString full;
    if (!prepare(relativePath, full)) return false;
    if (!image.save(full, "PNG")) {
        std::fprintf(stderr, "tryster-assets: cannot write %s\n", qPrintable(full));
        ok_ = false;
        return false;
    }
    files_ << relativePath;
    return true;
}

bool Output::saveBytes(const QByteArray& bytes, const QString& relativePath) {
    QString full;
    if (!prepare(relativePath, full)) return false;
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "tryster-assets: cannot write %s\n", qPrintable(full));
        ok_ = false;
        return false;
    }
    if (relativePath != QLatin1String("assets.qrc")) files_ << relativePath;
    return true;
}

QFont artFont(Face face, int pixelSize) {
    QFont font(face == Face::SerifBold ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(face != Face::Sans);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPainterPath heartPath(double cx, double cy, double size) {
    // Two lobes and a point, drawn as cubic curves in a unit box.
    double s = size;
    double x = cx - s / 2, y = cy - s * 0.45;
    QPainterPath path;
    path.moveTo(x + s * 0.5, y + s * 0.28);
    path.cubicTo(x + s * 0.5, y + s * 0.05, x + s * 0.1, y - s * 0.05, x + s * 0.02, y + s * 0.28);
    path.cubicTo(x - s * 0.05, y + s * 0.55, x + s * 0.3, y + s * 0.72, x + s * 0.5, y + s * 0.92);
    path.cubicTo(x + s * 0.7, y + s * 0.72, x + s * 1.05, y + s * 0.55, x + s * 0.98, y + s * 0.28);
    path.cubicTo(x + s * 0.9, y - s * 0.05, x + s * 0.5, y + s * 0.05, x + s * 0.5, y + s * 0.28);
    path.closeSubpath();
    return path;
}

void drawFigure(QPainter& p, double cx, double baseY, double height, const QColor& body,
                const QColor& head) {
    p.save();
    p.setPen(Qt::NoPen);
    double headR = height * 0.16;
    double bodyTop = baseY - height * 0.64;
    double bodyW = height * 0.42;
    // Soft shadow on the ground.
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawEllipse(QPointF(cx, baseY), bodyW * 0.7, height * 0.05);
    // Body: a rounded bell, lit from the upper left.
    QPainterPath torso;
    torso.moveTo(cx - bodyW * 0.30, bodyTop);
    torso.cubicTo(cx - bodyW * 0.55, bodyTop + height * 0.10, cx - bodyW * 0.62, baseY - height * 0.05,
                  cx - bodyW * 0.50, baseY);
    torso.lineTo(cx + bodyW * 0.50, baseY);
    torso.cubicTo(cx + bodyW * 0.62, baseY - height * 0.05, cx + bodyW * 0.55, bodyTop + height * 0.10,
                  cx + bodyW * 0.30, bodyTop);
    torso.closeSubpath();
    QLinearGradient bodyFill(cx - bodyW, bodyTop, cx + bodyW, baseY);
    bodyFill.setColorAt(0, body.lighter(135));
    bodyFill.setColorAt(1, body.darker(135));
    p.setBrush(bodyFill);
    p.drawRoundedRect(QRectF(cx - bodyW * 0.3, bodyTop - headR * 0.2, bodyW * 0.6, headR), 4, 4);
    p.drawPath(torso);
    // Head.
    QPointF headCentre(cx, bodyTop - headR * 1.05);
    QRadialGradient headFill(headCentre + QPointF(-headR * 0.35, -headR * 0.4), headR * 1.4);
    headFill.setColorAt(0, head.lighter(115));
    headFill.setColorAt(1, head.darker(125));
    p.setBrush(headFill);
    p.drawEllipse(headCentre, headR, headR);
    p.restore();
}

}  // namespace tryster::assets
