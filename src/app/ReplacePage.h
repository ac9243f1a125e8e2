#pragma once
// Steps 10 to 12: the townies of the chosen neighbourhood and the dates
// that can take a townie's place.

#include "app/WizardPage.h"

class QListWidget;

namespace tryster::app {

class ReplacePage final : public WizardPage {
    Q_OBJECT

public:
    explicit ReplacePage(const PageContext& context);

private:
    QListWidget* m_townies;
    QListWidget* m_dates;
};

}  // namespace tryster::app
