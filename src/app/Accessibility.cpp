#include "app/Accessibility.h"

#include "app/AccessibleList.h"
#include "app/AccessiblePage.h"
#include "app/Announcer.h"
#include "app/CPictureButton.h"
#include "app/ListBox.h"
#include "app/PageStack.h"
#include "app/WizardPage.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVariant>

namespace tryster::app {
namespace {

// A drop-down named after its label: the name is the accessible name the
// program gave it, the value its current entry, which it also offers as
// its (read-only) text; its one child is its list, its actions open the
// list.
class LabelledComboBox final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelledComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QComboBox* box() const { return static_cast<QComboBox*>(object()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text: the current entry, read only.
    QString text(int start, int end) const override {
        return box()->currentText().mid(start, end < 0 ? -1 : end - start);
    }
    int characterCount() const override { return static_cast<int>(box()->currentText().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return box()->currentText();
        if (t == QAccessible::Name && !box()->accessibleName().isEmpty()) return box()->accessibleName();
        if (t == QAccessible::Name) return box()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& action) override {
        if (action == QAccessibleActionInterface::showMenuAction() ||
            action == QAccessibleActionInterface::pressAction()) {
            if (box()->view()->isVisible())
                box()->hidePopup();
            else
                box()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

// A one-line text field as Qt presents it, with one difference: its text
// is one run of attributes from the first letter to the last. Qt's own
// field reports an empty run at each letter, and a screen reader that joins
// runs into the line it reads leaves out the last letter ("Rosa Mars").
class LineEdit final : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
public:
    explicit LineEdit(QLineEdit* field) : QAccessibleWidget(field, QAccessible::EditableText) {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    QLineEdit* field() const { return static_cast<QLineEdit*>(object()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return shownText();
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Description && text.isEmpty()) text = field()->placeholderText();
        return text;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = field()->isReadOnly();
        s.editable = !s.readOnly;
        s.passwordEdit = field()->echoMode() != QLineEdit::Normal;
        s.selectableText = true;
        return s;
    }

    // The text as shown: a password's is its bullets.
    QString text(int start, int end) const override { return shownText().mid(start, end < 0 ? -1 : end - start); }
    int characterCount() const override { return static_cast<int>(shownText().size()); }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !field()->hasSelectedText()) return;
        *start = field()->selectionStart();
        *end = field()->selectionEnd();
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) field()->deselect();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) field()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    void scrollToSubstring(int, int end) override { field()->setCursorPosition(end); }
    int offsetAtPoint(const QPoint& point) const override {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    // Where the letter stands while the field is not scrolled.
    QRect characterRect(int offset) const override {
        const QString text = shownText();
        if (offset < 0 || offset >= text.size()) return {};
        const QFontMetrics metrics(field()->font());
        const QRect inside = field()->contentsRect().marginsRemoved(field()->textMargins());
        const QRect letter(inside.left() + metrics.horizontalAdvance(text.left(offset)),
                           inside.top() + (inside.height() - metrics.height()) / 2,
                           metrics.horizontalAdvance(text.at(offset)), metrics.height());
        return QRect(field()->mapToGlobal(letter.topLeft()), letter.size());
    }

    // Editing, as typing would; a read-only field keeps its text.
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (field()->isReadOnly()) return;
        field()->setText(field()->text().replace(start, end - start, text));
    }

private:
    QString shownText() const { return field()->echoMode() == QLineEdit::NoEcho ? QString() : field()->displayText(); }
};

// A window that offers its menu to assistive tools: "show menu" pops it up,
// and each enabled command of the menu is an action of its own, named by
// its text. Actions run once the tool's call has returned (a command may
// open a modal dialog). The buttons its pages lay over Back and Next are
// their pages' children, not its own.
class WindowWithMenu final : public AccessibleContainer {
public:
    WindowWithMenu(QWidget* window, QMenu* menu) : AccessibleContainer(window, QAccessible::Dialog), m_menu(menu) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        names << QAccessibleActionInterface::showMenuAction();
        if (m_menu)
            for (QAction* action : m_menu->actions())
                if (!action->isSeparator() && action->isEnabled()) names << textOf(action);
        return names;
    }
    void doAction(const QString& name) override {
        if (!m_menu) return;
        if (name == QAccessibleActionInterface::showMenuAction()) {
            m_menu->popup(widget()->mapToGlobal(QPoint(16, 16)));
            return;
        }
        for (QAction* action : m_menu->actions())
            if (!action->isSeparator() && action->isEnabled() && textOf(action) == name) {
                QTimer::singleShot(0, action, &QAction::trigger);
                return;
            }
        QAccessibleWidget::doAction(name);
    }

private:
    static QString textOf(const QAction* action) { return QString(action->text()).remove(QLatin1Char('&')); }

    QPointer<QMenu> m_menu;
};

constexpr const char* kWindowMenuProperty = "trysterWindowMenu";

// An announcement: a notification named by its text. It stands directly
// under the application, so that a screen reader says the text, not the
// window it came from.
class Announcement final : public QAccessibleWidget {
public:
    explicit Announcement(QWidget* note) : QAccessibleWidget(note, QAccessible::Notification) {}
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(qApp); }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? announcementText(object()) : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* programAccessibles(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox"))
        if (auto* box = qobject_cast<QComboBox*>(object)) return new LabelledComboBox(box);
    if (className == QLatin1String("QLineEdit"))
        if (auto* field = qobject_cast<QLineEdit*>(object)) return new LineEdit(field);
    if (auto* list = qobject_cast<ListBox*>(object)) return new AccessibleList(list);
    if (auto* page = qobject_cast<WizardPage*>(object)) return new AccessiblePage(page);
    if (auto* stack = qobject_cast<PageStack*>(object)) return new AccessiblePageStack(stack);
    if (auto* button = qobject_cast<CPictureButton*>(object)) return new AccessiblePictureButton(button);
    if (auto* note = qobject_cast<QWidget*>(object); note && isAnnouncement(note)) return new Announcement(note);
    if (auto* window = qobject_cast<QWidget*>(object))
        if (auto* menu = window->property(kWindowMenuProperty).value<QMenu*>(); menu && window->isWindow())
            return new WindowWithMenu(window, menu);
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&programAccessibles);
}

void offerWindowMenu(QWidget* window, QMenu* menu) {
    window->setProperty(kWindowMenuProperty, QVariant::fromValue(menu));
}

void followListSelection(QComboBox* comboBox) {
    // Arrowed through while closed, the drop-down's new entry is told: a
    // screen reader does not present the value of a drop-down named after
    // its label as it changes.
    QObject::connect(comboBox, &QComboBox::currentIndexChanged, comboBox, [comboBox] {
        if (comboBox->hasFocus() && !comboBox->view()->isVisible()) announce(comboBox, comboBox->currentText());
    });
    QObject::connect(comboBox->view()->selectionModel(), &QItemSelectionModel::selectionChanged, comboBox,
                     [comboBox] {
                         // While the list is open the user is moving through it;
                         // the drop-down takes the entry when it closes.
                         if (comboBox->view()->isVisible()) return;
                         const QModelIndexList rows = comboBox->view()->selectionModel()->selectedRows();
                         if (!rows.isEmpty() && rows.front().row() != comboBox->currentIndex())
                             comboBox->setCurrentIndex(rows.front().row());
                     });
}

}  // namespace tryster::app
