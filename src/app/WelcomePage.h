#pragma once
// Step 0, the welcome page: the four ways in. Create starts a new date,
// Replace swaps a neighbourhood's townie for a date, Load restyles one of
// the player's own characters (the Load command, then the look page), and
// Install a shared date shows a date another player shared, to install it.
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
    void installChosen();
};

}  // namespace tryster::app
