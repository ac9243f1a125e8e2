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
    explicit NamePage(const PageContext& context);

    // The name and the description checks; the name is stored before the
    // description is checked.
    bool leave() override;

    const GameTextGuard* nameGuard() const { return m_nameGuard; }
    const GameTextGuard* descriptionGuard() const { return m_descriptionGuard; }

private:
    QLineEdit* m_name;
    QPlainTextEdit* m_description;
    GameTextGuard* m_nameGuard;
    GameTextGuard* m_descriptionGuard;
};

}  // namespace tryster::app
