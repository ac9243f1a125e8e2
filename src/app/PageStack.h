#pragma once
// The wizard's pages, one shown at a time in the window's page area, with
// Back and Next below them. A page may lay its own buttons over Back and
// Next (the welcome page's Create and Replace, the export page's Save);
// they show with it.

#include "app/WizardPage.h"

#include <QStackedWidget>

#include <map>

class QAbstractButton;

namespace tryster::app {

class PageStack final : public QStackedWidget {
    Q_OBJECT

public:
    PageStack(QWidget* window, const QRect& area, QAbstractButton* back, QAbstractButton* next);

    void add(int step, WizardPage* page);
    WizardPage* page(int step) const { return m_pages.at(step); }

    // Shows the step's page and its buttons, Back and Next enabled as
    // given, and enters the page: the step it answers (see
    // WizardPage::enter).
    int show(int step, bool backEnabled, bool nextEnabled);
    // The keyboard starts at the page's first control that shows.
    void focusFirst(int step) const;
    // Every page's controls in its order, then Back, Next and the buttons
    // over them.
    QList<QWidget*> tabOrder() const;

private:
    QAbstractButton* m_back;
    QAbstractButton* m_next;
    std::map<int, WizardPage*> m_pages;  // by step
};

}  // namespace tryster::app
