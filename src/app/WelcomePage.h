#pragma once
// Step 0, the welcome page: the five ways in. Create starts a new date,
// Replace swaps a neighbourhood's townie for a date, Load restyles one of
// the player's own characters (the Load command, then the look page),
// Install a shared date shows a date another player shared, to install it,
// and History lists what Tryster changed in the game, to undo it. Create
// and Replace lie over Back and Next.

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
    void historyChosen();
};

}  // namespace tryster::app
