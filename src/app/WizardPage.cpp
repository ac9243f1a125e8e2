#include "app/WizardPage.h"

#include "app/Accessibility.h"

#include <QComboBox>
#include <QLabel>

namespace tryster::app {

WizardPage::WizardPage(const PageContext& context) : QObject(context.dialog), m_context(context) {}

WizardPage::~WizardPage() = default;

QLabel* WizardPage::placeLabel(const QString& text, int id, const QRect& geometry) {
    auto* label = place(new QLabel(text, dialog()), id, geometry);
    label->setTextFormat(Qt::PlainText);
    return label;
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
