#pragma once
// Step 0, the welcome page: the three ways in. Create starts a new date,
// Replace swaps a neighbourhood's townie for a date, and Load restyles one
// of the player's own characters (the Load command, then the look page).
// Create and Replace lie over Back and Next.

#include "app/WizardPage.h"

class QAbstractButton;

namespace tryster::app {

class WelcomePage final : public WizardPage {
    Q_OBJECT

public:
    WelcomePage(PageHost& host, QWidget* parent);

Q_SIGNALS:
    void createChosen();
    void replaceChosen();
    void restyleChosen();
};

}  // namespace tryster::app
