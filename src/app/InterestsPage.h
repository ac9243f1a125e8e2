#pragma once
// Step 4, "What floats your boat?": five top interests and up to five low
// ones, picked from the interests not placed yet. The lists show the
// wizard's interest lists; the buttons move entries between them.

#include "app/WizardPage.h"
#include "wizard/InterestLists.h"

class QListWidget;
class QPushButton;

namespace tryster::app {

class InterestsPage final : public WizardPage {
    Q_OBJECT

public:
    InterestsPage(PageHost& host, QWidget* parent);

    // The four buttons from the lists' counts.
    int enter(int step) override;
    bool leave() override;

private:
    enum class Move { AddTop, RemoveTop, AddLow, RemoveLow };
    void move(Move move);
    void updateButtons();

    wizard::InterestLists m_lists;
    QListWidget* m_top;
    QListWidget* m_remaining;
    QListWidget* m_low;
    QPushButton* m_addTop;
    QPushButton* m_removeTop;
    QPushButton* m_addLow;
    QPushButton* m_removeLow;
};

}  // namespace tryster::app
