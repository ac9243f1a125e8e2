#pragma once
// Step 10, "Which Neighborhood?": asks for a neighbourhood file, then lists
// the townies of its characters folder.

#include "app/CharacterListPage.h"

namespace tryster::app {

class TowniesPage final : public CharacterListPage {
    Q_OBJECT

public:
    TowniesPage(PageHost& host, QWidget* parent);

    // Back to the welcome page when the choice is cancelled.
    int enter(int step) override;
};

}  // namespace tryster::app
