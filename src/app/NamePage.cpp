#include "app/NamePage.h"

#include "app/CPlomSaved.h"
#include "app/GameTextGuard.h"
#include "app/TextBoundary.h"
#include "wizard/PageRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tryster::app {

NamePage::NamePage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* nameLabel = placeLabel(QStringLiteral("Name of this Plom:"), {16, 20, 414, 18});
    m_name = place(new QLineEdit(this), {16, 40, 414, 26});
    nameAfterLabel(nameLabel, m_name);
    auto* descriptionLabel = placeLabel(QStringLiteral("Describe this Plom:"), {16, 80, 414, 18});
    m_description = place(new QPlainTextEdit(this), {16, 100, 414, 196});
    m_description->setTabChangesFocus(true);
    nameAfterLabel(descriptionLabel, m_description);
    new GameTextGuard(m_name);
    new GameTextGuard(m_description);
    setTabOrder({m_name, m_description});
}

// The guards keep both texts within the game's code page.
bool NamePage::leave() {
    const std::string name = qtToGameText(m_name->text(), false).text.value_or("");
    const std::string description = qtToGameText(m_description->toPlainText(), true).text.value_or("");
    if (const wizard::CheckResult failed = wizard::commitNaming(host().record(), name, description)) {
        showMessage(this, gameTextToQt(wizard::kWarningCaption), gameTextToQt(*failed));
        return false;
    }
    return true;
}

}  // namespace tryster::app
