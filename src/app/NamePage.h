#pragma once
// Step 2, "What's in a name?": the name and the description, kept to what
// the game can store.

#include "app/WizardPage.h"

class QLineEdit;
class QPlainTextEdit;

namespace tryster::app {

class GameTextGuard;

class NamePage final : public WizardPage {
    Q_OBJECT

public:
    NamePage(PageHost& host, QWidget* parent);

    // The name and the description checks; the name is stored before the
    // description is checked.
    bool leave() override;

private:
    QLineEdit* m_name;
    QPlainTextEdit* m_description;
    // They hold both texts in the game's bytes.
    GameTextGuard* m_nameText;
    GameTextGuard* m_descriptionText;
};

}  // namespace tryster::app
