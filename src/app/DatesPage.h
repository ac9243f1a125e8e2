#pragma once
// Step 11: the dates in the game's "TemplateNPCs" folder that can take the
// chosen townie's place.

#include "app/CharacterListPage.h"

namespace tryster::app {

class DatesPage final : public CharacterListPage {
    Q_OBJECT

public:
    DatesPage(PageHost& host, QWidget* parent);

    int enter(int step) override;
};

}  // namespace tryster::app
