// The picture buttons: for each caption four images, named after the
// caption in capitals with U (up), D (down), F (focused) and X (disabled).

#include "Art.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tryster::assets {
namespace {

enum class Glyph { None, Left, Right, Plus, Swap };
enum class State { Up, Down, Focused, Disabled };

struct ButtonLook {
    const char* caption;
    int width;
    int height;
    Glyph glyph;
    // The images' name where it is not the caption's: a caption drawn at
    // two sizes, or one too long for a name.
    const char* name = nullptr;
};

// Wizard moves are the largest; the page and box buttons smaller.
constexpr ButtonLook kButtons[] = {
    {"Back", 120, 36, Glyph::Left},    {"Next", 120, 36, Glyph::Right},
    {"Create", 120, 36, Glyph::Plus},  {"Replace", 120, 36, Glyph::Swap},
    {"Save", 120, 36, Glyph::None},    {"About", 90, 30, Glyph::None},
    {"Help", 90, 30, Glyph::None},     {"Load", 90, 30, Glyph::None},
    {"Reload", 90, 30, Glyph::None},   {"Add", 84, 26, Glyph::None},
    {"Remove", 84, 26, Glyph::None},   {"OK", 84, 28, Glyph::None},
    {"Cancel", 84, 28, Glyph::None},
    // Sharing: the welcome page's way in, the install page's moves and the
    // last page's command.
    {"Install", 90, 30, Glyph::None, "INSTALLSHARED"},
    {"Install", 120, 36, Glyph::Right},
    {"Cancel", 120, 36, Glyph::Left, "CANCELSTEP"},
    {"Share this date...", 170, 36, Glyph::None, "SHARE"},
    // History: the welcome page's way in, the page's Undo and Forget.
    {"History", 90, 30, Glyph::None},
    {"Undo", 120, 36, Glyph::None},
    {"Forget", 90, 30, Glyph::None},
};

constexpr int kMargin = 3;  // room for the shadow and the focus ring

const QColor kBorder(90, 16, 16);
const QColor kFocusRing(255, 226, 110);
const QColor kGreyTop(222, 214, 208);
const QColor kGreyBottom(184, 174, 166);
const QColor kGreyInk(140, 128, 122);

void drawGlyph(QPainter& p, Glyph glyph, QPointF centre, double size, const QColor& colour) {
    double h = size / 2;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    switch (glyph) {
    case Glyph::None: break;
    case Glyph::Left:
        p.drawPolygon(QPolygonF({centre + QPointF(-h, 0), centre + QPointF(h * 0.7, -h),
                                 centre + QPointF(h * 0.7, h)}));
        break;
    case Glyph::Right:
        p.drawPolygon(QPolygonF({centre + QPointF(h, 0), centre + QPointF(-h * 0.7, -h),
                                 centre + QPointF(-h * 0.7, h)}));
        break;
    case Glyph::Plus: {
        double t = size * 0.13;
        p.drawRoundedRect(QRectF(centre.x() - h, centre.y() - t, size, 2 * t), t, t);
        p.drawRoundedRect(QRectF(centre.x() - t, centre.y() - h, 2 * t, size), t, t);
        break;
    }
    case Glyph::Swap: {
        double t = size * 0.11, y1 = centre.y() - h * 0.45, y2 = centre.y() + h * 0.45;
        p.drawRect(QRectF(centre.x() - h * 0.7, y1 - t, h * 1.2, 2 * t));
        p.drawPolygon(QPolygonF({QPointF(centre.x() + h, y1), QPointF(centre.x() + h * 0.35, y1 - h * 0.45),
                                 QPointF(centre.x() + h * 0.35, y1 + h * 0.45)}));
        p.drawRect(QRectF(centre.x() - h * 0.5, y2 - t, h * 1.2, 2 * t));
        p.drawPolygon(QPolygonF({QPointF(centre.x() - h, y2), QPointF(centre.x() - h * 0.35, y2 - h * 0.45),
                                 QPointF(centre.x() - h * 0.35, y2 + h * 0.45)}));
        break;
    }
    }
    p.restore();
}

// A rounded band fading from `top` to `bottom` colour.
void drawFade(QPainter& p, const QRectF& band, const QColor& top, const QColor& bottom, double radius) {
    QLinearGradient fade(band.topLeft(), band.bottomLeft());
    fade.setColorAt(0, top);
    fade.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(fade);
    p.drawRoundedRect(band, radius, radius);
}

QImage drawButton(const ButtonLook& look, State state) {
    QImage image = canvas(look.width, look.height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    bool down = state == State::Down;
    bool disabled = state == State::Disabled;
    QRectF body(kMargin, kMargin, look.width - 2 * kMargin, look.height - 2 * kMargin - 1);
    if (down) body.translate(0, 1);
    double radius = std::min(8.0, body.height() / 3);

    if (!down && !disabled) {  // drop shadow
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 80));
        p.drawRoundedRect(body.translated(0, 1.5), radius, radius);
    }
    if (state == State::Focused) {
        p.setPen(QPen(kFocusRing, 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(-1.4, -1.4, 1.4, 1.4), radius + 1.4, radius + 1.4);
    }

    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    if (disabled) {
        fill.setColorAt(0, kGreyTop);
        fill.setColorAt(1, kGreyBottom);
    } else if (down) {
        fill.setColorAt(0, QColor(206, 152, 66));
        fill.setColorAt(1, QColor(244, 214, 150));
    } else {
        fill.setColorAt(0, state == State::Focused ? QColor(255, 248, 222) : kPaleGold);
        fill.setColorAt(1, kGold);
    }
    p.setPen(QPen(disabled ? QColor(138, 124, 120) : kBorder, 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);

    if (!disabled && !down)  // gloss on the upper half
        drawFade(p, body.adjusted(2, 1.5, -2, -body.height() / 2), QColor(255, 255, 255, 150),
                 QColor(255, 255, 255, 20), radius - 1.5);
    if (down)  // pressed in: a shade under the top edge
        drawFade(p, body.adjusted(1.5, 1.2, -1.5, -body.height() * 0.6), QColor(80, 30, 0, 90),
                 QColor(80, 30, 0, 0), radius - 1.5);

    QFont font = artFont(Face::SansBold, look.height >= 34 ? 15 : look.height >= 30 ? 13 : 12);
    p.setFont(font);
    QFontMetricsF metrics(font);
    QString caption = QString::fromLatin1(look.caption);
    double glyphSize = look.glyph == Glyph::None ? 0 : font.pixelSize() * 0.75;
    double gap = glyphSize > 0 ? 7 : 0;
    double textWidth = metrics.horizontalAdvance(caption);
    double total = textWidth + glyphSize + gap;
    double left = body.center().x() - total / 2;
    double baseline = body.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    double glyphX = left + glyphSize / 2;
    double textX = left + glyphSize + gap;
    if (look.glyph == Glyph::Right) {  // the arrow points the way, after the word
        textX = left;
        glyphX = left + textWidth + gap + glyphSize / 2;
    }
    QColor ink = disabled ? kGreyInk : kInk;
    if (disabled) {  // engraved look
        p.setPen(QColor(255, 255, 255, 170));
        p.drawText(QPointF(textX + 0.8, baseline + 0.8), caption);
        drawGlyph(p, look.glyph, QPointF(glyphX + 0.8, body.center().y() + 0.8), glyphSize,
                  QColor(255, 255, 255, 170));
    }
    p.setPen(ink);
    p.drawText(QPointF(textX, baseline), caption);
    drawGlyph(p, look.glyph, QPointF(glyphX, body.center().y()), glyphSize, ink);
    return image;
}

}  // namespace

bool drawButtons(Output& out) {
    constexpr std::pair<State, char> kStates[] = {
        {State::Up, 'U'}, {State::Down, 'D'}, {State::Focused, 'F'}, {State::Disabled, 'X'}};
    bool ok = true;
    for (const ButtonLook& look : kButtons) {
        for (auto [state, suffix] : kStates) {
            QString name = QString::fromLatin1(look.name ? look.name : look.caption).toUpper() + QLatin1Char(suffix);
            ok = out.savePng(drawButton(look, state), QStringLiteral("bitmaps/%1.png").arg(name)) && ok;
        }
    }
    return ok;
}

}  // namespace tryster::assets
