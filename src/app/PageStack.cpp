#include "app/PageStack.h"

#include "app/TextBoundary.h"
#include "wizard/Announcements.h"

#include <QAbstractButton>

namespace tryster::app {

PageStack::PageStack(QWidget* window, const QRect& area, QAbstractButton* back, QAbstractButton* next)
    : QStackedWidget(window), m_back(back), m_next(next) {
    setGeometry(area);
}

// The page's buttons go on the window, where Back and Next lie; assistive
// tools see them on their page, which they announce by its name.
void PageStack::add(int step, WizardPage* page) {
    addWidget(page);
    m_pages[step] = page;
    page->setAccessibleName(gameTextToQt(wizard::pageName(step)));
    const WizardPage::MoveButtons& moves = page->moveButtons();
    for (auto [button, slot] : {std::pair{moves.back, m_back}, std::pair{moves.next, m_next}}) {
        if (!button) continue;
        button->setParent(parentWidget());
        button->setGeometry(slot->geometry());
        button->hide();
    }
}

int PageStack::show(int step, bool backEnabled, bool nextEnabled) {
    WizardPage* shown = page(step);
    setCurrentWidget(shown);
    for (const auto& [other, page] : m_pages)
        for (QAbstractButton* over : {page->moveButtons().back, page->moveButtons().next}) {
            if (!over) continue;
            over->setVisible(page == shown);
            over->raise();
        }
    m_back->setEnabled(backEnabled);
    m_next->setEnabled(nextEnabled);
    return shown->enter(step);
}

// The first control the page shows now (the export page's Share comes
// only after a save), else its button over Next.
void PageStack::focusFirst(int step) const {
    const WizardPage* shown = page(step);
    QWidget* first = shown->moveButtons().next;
    for (QWidget* control : shown->tabOrder())
        if (!control->isHidden() && control->isEnabled()) {
            first = control;
            break;
        }
    if (first) first->setFocus();
}

QList<QWidget*> PageStack::tabOrder() const {
    QList<QWidget*> order;
    for (const auto& [step, page] : m_pages) order += page->tabOrder();
    for (QAbstractButton* slot : {m_back, m_next}) {
        order << slot;
        for (const auto& [step, page] : m_pages) {
            QAbstractButton* over = slot == m_back ? page->moveButtons().back : page->moveButtons().next;
            if (over && !order.contains(over)) order << over;
        }
    }
    return order;
}

}  // namespace tryster::app
