#pragma once
// Step 12, "Replace the Plom": asks, and replaces the chosen townie by the
// chosen date on OK; either way the wizard goes back to the welcome page.
// Without a townie and a date chosen it replaces nothing and says why. The
// page itself shows nothing.

#include "app/WizardPage.h"

namespace tryster::app {

class CharacterListPage;

class ConfirmReplacePage final : public WizardPage {
    Q_OBJECT

public:
    ConfirmReplacePage(PageHost& host, QWidget* parent, const CharacterListPage& townies,
                       const CharacterListPage& dates);

    int enter(int step) override;

private:
    const CharacterListPage& m_townies;
    const CharacterListPage& m_dates;
};

}  // namespace tryster::app
