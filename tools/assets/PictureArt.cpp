// The splash (bitmap 180), the welcome picture of the first wizard page
// (bitmap 132) and the program icon (128).

#include "Art.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cstdint>

namespace tryster::assets {
namespace {

// A fixed little generator, so the scattered lights land in the same place
// on every build.
class Scatter {
public:
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }

private:
    std::uint32_t state_ = 20240611u;
};

void drawBokeh(QPainter& p, const QRectF& area, int count) {
    Scatter r;
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        QPointF c(area.left() + r.next() * area.width(), area.top() + r.next() * area.height());
        double radius = 5 + r.next() * 24;
        QColor colour = r.next() < 0.5 ? kGold : kCream;
        colour.setAlpha(10 + static_cast<int>(r.next() * 28));
        QRadialGradient glow(c, radius);
        glow.setColorAt(0, colour);
        glow.setColorAt(0.8, colour);
        colour.setAlpha(0);
        glow.setColorAt(1, colour);
        p.setBrush(glow);
        p.drawEllipse(c, radius, radius);
    }
    p.restore();
}

void drawHeart(QPainter& p, QPointF centre, double size, int alpha = 255) {
    p.save();
    QRadialGradient halo(centre, size);
    halo.setColorAt(0, QColor(255, 120, 140, alpha * 90 / 255));
    halo.setColorAt(1, QColor(255, 120, 140, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, size, size);
    QLinearGradient fill(centre.x(), centre.y() - size / 2, centre.x(), centre.y() + size / 2);
    fill.setColorAt(0, QColor(255, 118, 138, alpha));
    fill.setColorAt(1, QColor(200, 24, 56, alpha));
    p.setBrush(fill);
    p.setPen(QPen(QColor(110, 0, 20, alpha), size / 40));
    p.drawPath(heartPath(centre.x(), centre.y(), size));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, alpha * 150 / 255));
    p.drawEllipse(QPointF(centre.x() - size * 0.24, centre.y() - size * 0.16), size * 0.09, size * 0.06);
    p.restore();
}

// Text filled with a gold gradient over a dark shadow.
void drawTitle(QPainter& p, const QString& text, const QFont& font, double centreX, double baseline) {
    QPainterPath path;
    double width = QFontMetricsF(font).horizontalAdvance(text);
    path.addText(QPointF(centreX - width / 2, baseline), font, text);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 0, 0, 130));
    p.drawPath(path.translated(2, 3));
    QRectF box = path.boundingRect();
    QLinearGradient gold(box.topLeft(), box.bottomLeft());
    gold.setColorAt(0, QColor(255, 244, 200));
    gold.setColorAt(0.55, kGold);
    gold.setColorAt(1, QColor(196, 132, 40));
    p.setBrush(gold);
    p.setPen(QPen(QColor(90, 30, 0, 160), 0.8));
    p.drawPath(path);
    p.restore();
}

void drawSwapArrows(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    p.save();
    QPen pen(colour, radius * 0.22, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.drawArc(ring, 30 * 16, 120 * 16);
    p.drawArc(ring, 210 * 16, 120 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    double a = radius * 0.42;
    QPointF left(centre.x() - radius * 0.87, centre.y() - radius * 0.5);
    p.drawPolygon(QPolygonF({left + QPointF(-a * 0.7, -a * 0.3), left + QPointF(a * 0.7, -a * 0.3),
                             left + QPointF(0, a * 0.8)}));
    QPointF right(centre.x() + radius * 0.87, centre.y() + radius * 0.5);
    p.drawPolygon(QPolygonF({right + QPointF(-a * 0.7, a * 0.3), right + QPointF(a * 0.7, a * 0.3),
                             right + QPointF(0, -a * 0.8)}));
    p.restore();
}

QImage drawSplash() {
    constexpr int kW = 500, kH = 375;
    QImage image = canvas(kW, kH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient back(QPointF(kW / 2.0, 170), 340);
    back.setColorAt(0, QColor(184, 30, 30));
    back.setColorAt(0.6, QColor(112, 4, 4));
    back.setColorAt(1, QColor(52, 0, 0));
    p.fillRect(image.rect(), back);
    drawBokeh(p, QRectF(0, 0, kW, kH), 30);

    p.setPen(QPen(QColor(242, 196, 98, 170), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8, 8, kW - 16, kH - 16), 10, 10);
    p.setPen(QPen(QColor(242, 196, 98, 60), 1));
    p.drawRoundedRect(QRectF(13, 13, kW - 26, kH - 26), 7, 7);

    drawTitle(p, QStringLiteral("The Ploms Tryster"), artFont(Face::SerifBold, 38), kW / 2.0, 78);
    p.setFont(artFont(Face::Sans, 15));
    p.setPen(QColor(255, 240, 220, 225));
    p.drawText(QRectF(0, 90, kW, 24), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Dates made to order"));

    // Two figures meet under a heart.
    QRadialGradient floor(QPointF(kW / 2.0, 312), 170);
    floor.setColorAt(0, QColor(255, 210, 150, 70));
    floor.setColorAt(1, QColor(255, 210, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(floor);
    p.drawEllipse(QPointF(kW / 2.0, 312), 170, 30);
    drawFigure(p, 182, 312, 150, QColor(40, 150, 160), QColor(236, 198, 166));
    drawFigure(p, 318, 312, 142, QColor(236, 146, 58), QColor(196, 144, 112));
    drawHeart(p, QPointF(250, 186), 58);
    drawHeart(p, QPointF(214, 140), 16, 150);
    drawHeart(p, QPointF(292, 128), 11, 120);

    p.setFont(artFont(Face::Sans, 11));
    p.setPen(QColor(255, 240, 220, 200));
    p.drawText(QRectF(24, kH - 40, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Version 1.00 Beta"));
    p.drawText(QRectF(kW - 224, kH - 40, 200, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Click to begin"));
    return image;
}

void drawColumn(QPainter& p, double centreX, double top, const QString& heading, const QString& text) {
    p.setFont(artFont(Face::SansBold, 16));
    p.setPen(kGold);
    p.drawText(QRectF(centreX - 85, top, 170, 22), Qt::AlignHCenter | Qt::AlignVCenter, heading);
    p.setFont(artFont(Face::Sans, 12));
    p.setPen(QColor(255, 240, 222));
    p.drawText(QRectF(centreX - 82, top + 24, 164, 48), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
}

// A four-pointed sparkle: the restyled look.
void drawSparkle(QPainter& p, QPointF centre, double size, const QColor& colour) {
    const double s = size, w = size * 0.28;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({centre + QPointF(0, -s), centre + QPointF(w, -w), centre + QPointF(s, 0),
                             centre + QPointF(w, w), centre + QPointF(0, s), centre + QPointF(-w, w),
                             centre + QPointF(-s, 0), centre + QPointF(-w, -w)}));
    p.restore();
}

// A small parcel tied with a ribbon: a date that came as one file.
void drawParcel(QPainter& p, QPointF centre, double size) {
    const QRectF box(centre.x() - size / 2, centre.y() - size * 0.35, size, size * 0.7);
    p.save();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaleGold);
    p.drawRect(box);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 60));
    p.drawRect(QRectF(centre.x() - size * 0.08, box.top(), size * 0.16, box.height()));
    p.drawRect(QRectF(box.left(), centre.y() - size * 0.08, box.width(), size * 0.16));
    p.restore();
    drawHeart(p, QPointF(centre.x(), box.top() - size * 0.12), size * 0.45);
}

// A clock face with a hand turning back: the changes made, and taking one
// back.
void drawClock(QPainter& p, QPointF centre, double radius) {
    p.save();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaleGold);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -radius * 0.62));
    p.drawLine(centre, centre + QPointF(-radius * 0.45, radius * 0.2));
    // The arrow round its rim, turning anticlockwise.
    p.setPen(QPen(kGold, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const double r = radius + 3.5;
    p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 30 * 16, 220 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    const QPointF tip = centre + QPointF(r * 0.866, -r * 0.5);
    p.drawPolygon(QPolygonF({tip + QPointF(-4, -2.5), tip + QPointF(3, -3.5), tip + QPointF(0.5, 3.5)}));
    p.restore();
}

// One of the three ways in below the columns: a picture, its name and a
// line that explains it, left of the button the page lays over the band's
// right end.
void drawWay(QPainter& p, double top, const QString& heading, const QString& text) {
    p.setFont(artFont(Face::SansBold, 15));
    p.setPen(kGold);
    p.drawText(QRectF(66, top, 200, 17), Qt::AlignLeft | Qt::AlignVCenter, heading);
    p.setFont(artFont(Face::Sans, 12));
    p.setPen(QColor(255, 240, 222));
    p.drawText(QRectF(66, top + 15, 206, 15), Qt::AlignLeft | Qt::AlignVCenter, text);
}

QImage drawWelcome() {
    constexpr int kW = 380, kH = 284;
    QImage image = canvas(kW, kH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF panel(1, 1, kW - 2, kH - 2);
    QLinearGradient back(panel.topLeft(), panel.bottomLeft());
    back.setColorAt(0, QColor(168, 22, 22));
    back.setColorAt(1, QColor(92, 2, 2));
    p.setPen(QPen(QColor(242, 196, 98, 190), 1.5));
    p.setBrush(back);
    p.drawRoundedRect(panel, 12, 12);
    p.save();
    p.setClipRect(panel.adjusted(2, 2, -2, -2));
    drawBokeh(p, panel, 16);
    p.restore();

    drawTitle(p, QStringLiteral("Welcome!"), artFont(Face::SerifBold, 28), kW / 2.0, 34);
    p.setFont(artFont(Face::Sans, 12));
    p.setPen(QColor(255, 242, 226));
    p.drawText(QRectF(20, 41, kW - 40, 34), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Make a new date, swap one into a neighbourhood, restyle your own, "
                              "install a shared one, undo a change."));
    p.setPen(QPen(QColor(242, 196, 98, 110), 1));
    p.drawLine(QPointF(40, 78), QPointF(kW - 40, 78));

    // Columns sit above the buttons they explain: Create left, Replace right.
    constexpr double kCreateX = 100, kReplaceX = 280, kFloor = 124;
    drawFigure(p, kCreateX, kFloor, 40, QColor(40, 150, 160), QColor(236, 198, 166));
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawEllipse(QPointF(kCreateX + 18, 90), 8, 8);
    p.setBrush(kInk);
    p.drawRect(QRectF(kCreateX + 14, 89, 8, 2));
    p.drawRect(QRectF(kCreateX + 17, 86, 2, 8));

    drawFigure(p, kReplaceX - 22, kFloor, 34, QColor(150, 150, 160), QColor(220, 190, 160));
    drawFigure(p, kReplaceX + 22, kFloor, 38, QColor(236, 146, 58), QColor(196, 144, 112));
    drawSwapArrows(p, QPointF(kReplaceX, 92), 10, kGold);

    drawColumn(p, kCreateX, 124, QStringLiteral("Create"),
               QStringLiteral("Design a new date, from looks to career."));
    drawColumn(p, kReplaceX, 124, QStringLiteral("Replace"),
               QStringLiteral("Swap a neighbourhood's Townie for a date."));

    // The third, fourth and fifth ways, beside the Load, Install and
    // History buttons.
    p.setPen(QPen(QColor(242, 196, 98, 110), 1));
    p.drawLine(QPointF(40, 183), QPointF(kW - 40, 183));
    drawFigure(p, 40, 216, 26, QColor(120, 90, 170), QColor(226, 188, 156));
    drawSparkle(p, QPointF(52, 194), 5, kGold);
    drawWay(p, 188, QStringLiteral("Restyle"), QStringLiteral("A new look for one of your Ploms."));
    drawParcel(p, QPointF(40, 238), 20);
    drawWay(p, 220, QStringLiteral("Install a shared date"), QStringLiteral("A date another player sent you."));
    drawClock(p, QPointF(40, 267), 9);
    drawWay(p, 252, QStringLiteral("History"), QStringLiteral("What Tryster changed; undo it."));
    return image;
}

QImage drawIcon(int size) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    double s = size / 64.0;
    QRectF tile(2 * s, 2 * s, 60 * s, 60 * s);
    QLinearGradient back(tile.topLeft(), tile.bottomRight());
    back.setColorAt(0, QColor(190, 28, 28));
    back.setColorAt(1, QColor(90, 0, 0));
    p.setPen(QPen(kGold, 1.5 * s));
    p.setBrush(back);
    p.drawRoundedRect(tile, 13 * s, 13 * s);
    QLinearGradient gold(0, 14 * s, 0, 52 * s);
    gold.setColorAt(0, QColor(255, 240, 190));
    gold.setColorAt(1, QColor(226, 160, 50));
    p.setPen(QPen(QColor(90, 30, 0), 1.2 * s));
    p.setBrush(gold);
    p.drawPath(heartPath(32 * s, 34 * s, 42 * s));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(22 * s, 27 * s), 4 * s, 2.6 * s);
    return image;
}

}  // namespace

bool drawPictures(Output& out) {
    bool ok = out.savePng(drawSplash(), QStringLiteral("bitmaps/180.png"));
    ok = out.savePng(drawWelcome(), QStringLiteral("bitmaps/132.png")) && ok;
    ok = out.savePng(drawIcon(64), QStringLiteral("icons/128.png")) && ok;
    ok = out.savePng(drawIcon(256), QStringLiteral("icons/128-large.png")) && ok;
    return ok;
}

bool drawDesktopIcons(Output& out, const QString& name) {
    // The sizes desktops look for in the hicolor theme.
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = out.savePng(drawIcon(size), QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name)) && ok;
    return ok;
}

}  // namespace tryster::assets
