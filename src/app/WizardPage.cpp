#include "app/WizardPage.h"

#include "app/Accessibility.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSlider>

namespace tryster::app {
namespace {

// Shows and hides a companion widget with the one it watches.
class VisibleWith final : public QObject {
public:
    VisibleWith(QWidget* watched, QWidget* companion) : QObject(companion), m_companion(companion) {
        companion->setVisible(watched->isVisible());
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent) m_companion->show();
        if (event->type() == QEvent::HideToParent) m_companion->hide();
        return false;
    }

private:
    QWidget* m_companion;
};

}  // namespace

WizardPage::WizardPage(const PageContext& context) : QObject(context.dialog), m_context(context) {}

WizardPage::~WizardPage() = default;

QLabel* WizardPage::placeLabel(const QString& text, int id, const QRect& geometry) {
    auto* label = place(new QLabel(text, dialog()), id, geometry);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* WizardPage::showSliderValue(QSlider* slider, const QRect& geometry) {
    auto* value = new QLabel(QString::number(slider->value()), dialog());
    value->setGeometry(geometry);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The slider says its value to assistive tools itself.
    value->setAccessibleName(QString());
    connect(slider, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
    connect(slider, &QSlider::rangeChanged, value, [value, slider] { value->setNum(slider->value()); });
    new VisibleWith(slider, value);
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
