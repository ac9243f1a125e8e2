#include "app/WizardPage.h"

#include "app/AccessiblePage.h"
#include "app/Accessibility.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

namespace tryster::app {

WizardPage::WizardPage(PageHost& host, QWidget* parent) : QWidget(parent), m_host(host) {}

void WizardPage::setMoveButtons(MoveButtons buttons) {
    m_moveButtons = buttons;
    for (QAbstractButton* button : {buttons.back, buttons.next})
        if (button) markMoveButton(button, this);
}

QLabel* WizardPage::placeLabel(const QString& text, const QRect& geometry) {
    auto* label = place(new QLabel(text, this), geometry);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* WizardPage::showSliderValue(QSlider* slider, const QRect& geometry) {
    auto* value = place(new QLabel(QString::number(slider->value()), this), geometry);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The slider says its value to assistive tools itself.
    value->setAccessibleName(QString());
    connect(slider, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    connect(slider, &QSlider::rangeChanged, value, [value, slider] { value->setNum(slider->value()); });
    return value;
}

QString accessibleNameOf(const QString& labelText) {
    QString name = labelText;
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name.trimmed();
}

void nameAfterLabel(QLabel* label, QWidget* field) {
    label->setBuddy(field);
    field->setAccessibleName(accessibleNameOf(label->text()));
    if (auto* box = qobject_cast<QComboBox*>(field)) followListSelection(box);
}

}  // namespace tryster::app
