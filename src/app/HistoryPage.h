#pragma once
// Step 30, "History": every change Tryster made in the game folder, newest
// first, with when, what and whose; the files of the change selected, its
// character on the preview where its file is still there, and the space
// the backups take. Undo (over Next) asks first, naming what is removed
// and what put back, and takes the change back (offering to take later
// changes back first, or to keep a file changed since as a backup, where
// that is what stands in the way); Forget asks first, naming the backups
// it deletes. What each does and says is decided in src/share.

#include "app/WizardPage.h"
#include "share/History.h"

#include <cstdint>

class QAbstractButton;
class QListWidget;

namespace tryster::app {

class HistoryPage final : public WizardPage {
    Q_OBJECT

public:
    HistoryPage(PageHost& host, QWidget* parent);

    // Finishes what an interrupted run left, then lists the history.
    int enter(int step) override;

private:
    // Reads the history again and selects the change `id` (the newest when
    // it is not listed).
    void reload(std::int64_t id);
    void showSelected();
    const share::HistoryEntry* selected() const;
    void undo();
    void forget();

    QListWidget* m_list;
    QListWidget* m_files;
    QLabel* m_space;
    QAbstractButton* m_undo;
    QAbstractButton* m_forget;
    share::History m_history;
};

}  // namespace tryster::app
