#include "app/NamePage.h"

#include "app/CPlomSaved.h"
#include "app/ControlIds.h"
#include "app/GameTextGuard.h"
#include "app/TextBoundary.h"
#include "wizard/PageRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tryster::app {

NamePage::NamePage(const PageContext& context) : WizardPage(context) {
    auto* nameLabel = placeLabel(QStringLiteral("Name of this Plom:"), IDC_NAME_LABEL, {16, 20, 414, 18});
    m_name = place(new QLineEdit(dialog()), IDC_NAME, {16, 40, 414, 26});
    nameAfterLabel(nameLabel, m_name);
    auto* descriptionLabel =
        placeLabel(QStringLiteral("Describe this Plom:"), IDC_DESCRIPTION_LABEL, {16, 80, 414, 18});
    m_description = place(new QPlainTextEdit(dialog()), IDC_DESCRIPTION, {16, 100, 414, 196});
    m_description->setTabChangesFocus(true);
    nameAfterLabel(descriptionLabel, m_description);
    m_nameGuard = new GameTextGuard(m_name);
    m_descriptionGuard = new GameTextGuard(m_description);
}

bool NamePage::leave() {
    // The guards keep both texts within the game's code page.
    const std::string name = qtToGameText(m_name->text(), false).text.value_or("");
    const std::string description = qtToGameText(m_description->toPlainText(), true).text.value_or("");
    if (const wizard::CheckResult failed = wizard::commitNaming(record(), name, description)) {
        showMessage(dialog(), gameTextToQt(wizard::kWarningCaption), gameTextToQt(*failed));
        return false;
    }
    return true;
}

}  // namespace tryster::app
