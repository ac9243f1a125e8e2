#include "app/MessageLayout.h"

#include "app/CPictureButton.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace tryster::app {
namespace {

constexpr int kMargin = 14;
constexpr int kWidestText = 380;

}  // namespace

QLabel* makeMessageLabel(QDialog& box, const QString& text) {
    auto* label = new QLabel(text, &box);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void layOutMessageBox(QDialog& box, QLabel* message, std::initializer_list<CPictureButton*> buttons,
                      QSize templateSize) {
    QFontMetrics metrics(message->font());
    int natural = 0;
    const QStringList lines = message->text().split(QLatin1Char('\n'));
    for (const QString& line : lines) natural = std::max(natural, metrics.horizontalAdvance(line));
    int textWidth = std::clamp(natural + 4, templateSize.width() - 2 * kMargin, kWidestText);
    message->setFixedWidth(textWidth);

    auto* row = new QHBoxLayout;
    row->addStretch();
    for (CPictureButton* button : buttons) {
        button->loadBitmaps();
        row->addWidget(button);
    }
    row->addStretch();
    auto* column = new QVBoxLayout(&box);
    column->setContentsMargins(kMargin, kMargin, kMargin, kMargin - 4);
    column->setSpacing(12);
    column->addWidget(message, 1);
    column->addLayout(row);
    column->setSizeConstraint(QLayout::SetFixedSize);
    box.setMinimumSize(templateSize);
}

}  // namespace tryster::app
