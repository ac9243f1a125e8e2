#pragma once
// A list box as a screen reader should present it: by the label that names
// it (tied with nameAfterLabel, or one only assistive tools read where the
// page shows none), with its current entry when it takes the focus, and
// with an entry's focus only while the list itself has the focus. Qt's own
// list view reports its current entry as focused whenever the program
// refills or reselects it, also on a page that is not shown, and a screen
// reader then announces an entry of a list the player is not in.
//
// Its accessible interface is AccessibleList (installed by
// installAccessibility): it names the list after its label for braille
// displays too, which read a list's label, not its name.

#include <QListWidget>

namespace tryster::app {

class ListBox final : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent);

    // Names a list that the page shows without a label: a label only
    // assistive tools read is tied to it.
    void nameWithoutLabel(const QString& name);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

}  // namespace tryster::app
