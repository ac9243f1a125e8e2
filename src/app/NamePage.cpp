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
    m_nameText = new GameTextGuard(m_name);
    m_descriptionText = new GameTextGuard(m_description);
    setTabOrder({m_name, m_description});
}

bool NamePage::leave() {
    if (const wizard::CheckResult failed =
            wizard::commitNaming(host().record(), m_nameText->gameText(), m_descriptionText->gameText())) {
        showMessage(this, gameTextToQt(wizard::kWarningCaption), gameTextToQt(*failed));
        return false;
    }
    return true;
}

}  // namespace tryster::app
