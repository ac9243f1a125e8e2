#pragma once
// The wizard's pages as assistive tools see them. A page is a panel named
// after the page, so that a screen reader announces it as the focus comes
// into it, before the control that takes the focus. The buttons a page
// lays over Back and Next stand on the window below the page's area, but
// they belong to the page: here they are its children, so that entering
// the welcome page on Create or the last page on Save announces the page
// too. The stack that holds the pages is only layout and is not announced.

#include <QAccessibleWidget>
#include <QList>

class QAbstractButton;
class QStackedWidget;

namespace tryster::app {

class WizardPage;

// Marks `button` as one that `page` lays over Back or Next.
void markMoveButton(QAbstractButton* button, WizardPage* page);
// The page that `widget` is a move button of, or none.
WizardPage* pageOfMoveButton(const QObject* widget);

// The children assistive tools see of a widget of the window: its child
// widgets (not windows, menus or focus frames), without the move buttons,
// which are their pages' children.
QList<QWidget*> accessibleChildren(const QWidget* widget);

// A widget whose children are accessibleChildren.
class AccessibleContainer : public QAccessibleWidget {
public:
    AccessibleContainer(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

protected:
    virtual QList<QWidget*> widgets() const { return accessibleChildren(widget()); }
};

class AccessiblePage final : public AccessibleContainer {
public:
    explicit AccessiblePage(WizardPage* page);

protected:
    QList<QWidget*> widgets() const override;
};

// The stack of pages: a filler that screen readers pass over. Its pages
// keep their order (the stack raises the page it shows, which reorders its
// child widgets).
class AccessiblePageStack final : public AccessibleContainer {
public:
    explicit AccessiblePageStack(QStackedWidget* stack);

protected:
    QList<QWidget*> widgets() const override;
};

// A picture button: a push button named by its caption; one that a page
// lays over Back or Next is a child of its page. (Every picture button is
// one of these: a button may be made a move button after assistive tools
// first saw it.)
class AccessiblePictureButton final : public QAccessibleWidget {
public:
    explicit AccessiblePictureButton(QAbstractButton* button);

    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
};

}  // namespace tryster::app
