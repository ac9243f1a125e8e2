#include "app/InterestsPage.h"

#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/ListBox.h"
#include "app/TextBoundary.h"
#include "platform/Sound.h"
#include "wizard/PageRules.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace tryster::app {
namespace {

// The selected row, whichever way it was selected; -1 when none is.
int selectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? wizard::InterestLists::kNoSelection : list->row(selected.front());
}

void fill(QListWidget* list, const std::vector<std::string>& entries) {
    const QSignalBlocker block(list);
    list->clear();
    for (const std::string& entry : entries) list->addItem(gameTextToQt(entry));
}

}  // namespace

InterestsPage::InterestsPage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* topLabel = placeLabel(QStringLiteral("Select Top 5 Interests"), {16, 14, 150, 18});
    m_top = place(new ListBox(this), {16, 32, 150, 112});
    m_top->setToolTip(QStringLiteral("Choose the Plom's 5 Top Interests."));
    nameAfterLabel(topLabel, m_top);

    // The buttons keep their captions; their names say which list they fill.
    auto button = [&](const char* caption, const char* name, QPoint at, Move what) {
        auto* b = place(new CPictureButton(QString::fromLatin1(caption), this), QRect(at, QSize(84, 26)));
        b->loadBitmaps();
        b->setAccessibleName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, what] { move(what); });
        return b;
    };
    m_addTop = button("Add", "Add Top Interest", {176, 52}, Move::AddTop);
    m_removeTop = button("Remove", "Remove Top Interest", {176, 88}, Move::RemoveTop);

    // The page shows no label over the interests not placed yet.
    auto* remaining = place(new ListBox(this), {270, 32, 160, 254});
    remaining->nameWithoutLabel(QStringLiteral("Interests"));
    m_remaining = remaining;

    auto* lowLabel = placeLabel(QStringLiteral("Low Interests"), {16, 156, 150, 18});
    m_low = place(new ListBox(this), {16, 174, 150, 112});
    nameAfterLabel(lowLabel, m_low);
    m_addLow = button("Add", "Add Low Interest", {176, 196}, Move::AddLow);
    m_removeLow = button("Remove", "Remove Low Interest", {176, 232}, Move::RemoveLow);

    fill(m_top, m_lists.top());
    fill(m_remaining, m_lists.remaining());
    fill(m_low, m_lists.low());
    setTabOrder({m_top, m_addTop, m_removeTop, m_remaining, m_low, m_addLow, m_removeLow});
}

int InterestsPage::enter(int step) {
    updateButtons();
    return step;
}

bool InterestsPage::leave() {
    if (const wizard::CheckResult failed = wizard::commitInterests(host().record(), m_lists)) {
        showMessage(this, gameTextToQt(wizard::kWarningCaption), gameTextToQt(*failed));
        return false;
    }
    return true;
}

void InterestsPage::move(Move what) {
    platform::playClick();
    QListWidget* source = what == Move::RemoveTop ? m_top : what == Move::RemoveLow ? m_low : m_remaining;
    QListWidget* target = what == Move::AddTop ? m_top : what == Move::AddLow ? m_low : m_remaining;
    const int row = selectedRow(source);
    int placed = wizard::InterestLists::kNoSelection;
    switch (what) {
        case Move::AddTop:
            placed = m_lists.addTop(row);
            break;
        case Move::RemoveTop:
            placed = m_lists.removeTop(row);
            break;
        case Move::AddLow:
            placed = m_lists.addLow(row);
            break;
        case Move::RemoveLow:
            placed = m_lists.removeLow(row);
            break;
    }
    updateButtons();
    if (placed == wizard::InterestLists::kNoSelection) return;
    // Only the moved entry changes places: the other entries keep their
    // rows, scroll positions and selections, and so do the objects a screen
    // reader holds for them.
    {
        const QSignalBlocker blockSource(source);
        const QSignalBlocker blockTarget(target);
        target->insertItem(placed, source->takeItem(row));
    }
    // The next entry of the source list is selected, so the same button
    // moves it with the next press.
    if (source->count() > 0) {
        const QSignalBlocker block(source);
        source->setCurrentRow(std::min(row, source->count() - 1), QItemSelectionModel::ClearAndSelect);
    }
}

void InterestsPage::updateButtons() {
    m_addTop->setEnabled(m_lists.canAddTop());
    m_removeTop->setEnabled(m_lists.canRemoveTop());
    m_addLow->setEnabled(m_lists.canAddLow());
    m_removeLow->setEnabled(m_lists.canRemoveLow());
}

}  // namespace tryster::app
