#include "app/AccessiblePage.h"

#include "app/WizardPage.h"

#include <QAbstractButton>
#include <QFocusFrame>
#include <QMenu>
#include <QPointer>
#include <QStackedWidget>

namespace tryster::app {
namespace {

constexpr const char* kMoveButtonOfPage = "trysterMoveButtonOfPage";

}  // namespace

void markMoveButton(QAbstractButton* button, WizardPage* page) {
    button->setProperty(kMoveButtonOfPage, QVariant::fromValue(QPointer<QObject>(page)));
}

WizardPage* pageOfMoveButton(const QObject* widget) {
    return qobject_cast<WizardPage*>(widget->property(kMoveButtonOfPage).value<QPointer<QObject>>().data());
}

QList<QWidget*> accessibleChildren(const QWidget* widget) {
    QList<QWidget*> widgets;
    for (QObject* child : widget->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || qobject_cast<QMenu*>(w) || qobject_cast<QFocusFrame*>(w) || pageOfMoveButton(w))
            continue;
        widgets << w;
    }
    return widgets;
}

// --- Containers --------------------------------------------------------------

int AccessibleContainer::childCount() const {
    return static_cast<int>(widgets().size());
}

QAccessibleInterface* AccessibleContainer::child(int index) const {
    const QList<QWidget*> all = widgets();
    return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index]) : nullptr;
}

int AccessibleContainer::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || !child->object()) return -1;
    return static_cast<int>(widgets().indexOf(qobject_cast<QWidget*>(child->object())));
}

AccessiblePage::AccessiblePage(WizardPage* page) : AccessibleContainer(page, QAccessible::Grouping) {}

QList<QWidget*> AccessiblePage::widgets() const {
    QList<QWidget*> all = AccessibleContainer::widgets();
    const auto* page = static_cast<const WizardPage*>(widget());
    for (QAbstractButton* button : {page->moveButtons().back, page->moveButtons().next})
        if (button) all << button;
    return all;
}

AccessiblePageStack::AccessiblePageStack(QStackedWidget* stack) : AccessibleContainer(stack, QAccessible::Client) {}

QList<QWidget*> AccessiblePageStack::widgets() const {
    const auto* stack = static_cast<const QStackedWidget*>(widget());
    QList<QWidget*> pages;
    for (int i = 0; i < stack->count(); ++i) pages << stack->widget(i);
    return pages;
}

// --- Picture buttons ------------------------------------------------------------

AccessiblePictureButton::AccessiblePictureButton(QAbstractButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

QAccessibleInterface* AccessiblePictureButton::parent() const {
    if (WizardPage* page = pageOfMoveButton(widget())) return QAccessible::queryAccessibleInterface(page);
    return QAccessibleWidget::parent();
}

QString AccessiblePictureButton::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return static_cast<const QAbstractButton*>(widget())->text().remove(QLatin1Char('&'));
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessiblePictureButton::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.pressed = static_cast<const QAbstractButton*>(widget())->isDown();
    return s;
}

QStringList AccessiblePictureButton::actionNames() const {
    QStringList names;
    if (widget()->isEnabled()) names << pressAction();
    return names + QAccessibleWidget::actionNames();
}

// As a click, once the tool's call has returned (a move may open a modal
// dialog).
void AccessiblePictureButton::doAction(const QString& action) {
    if (action == pressAction() && widget()->isEnabled()) {
        static_cast<QAbstractButton*>(widget())->animateClick();
        return;
    }
    QAccessibleWidget::doAction(action);
}

}  // namespace tryster::app
