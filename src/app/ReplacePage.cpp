#include "app/ReplacePage.h"

#include "app/ControlIds.h"

#include <QListWidget>

namespace tryster::app {

ReplacePage::ReplacePage(const PageContext& context) : WizardPage(context) {
    m_townies = place(new QListWidget(dialog()), IDC_TOWNIE_LIST, {16, 14, 414, 286});
    m_townies->setAccessibleName(QStringLiteral("Townies"));
    m_dates = place(new QListWidget(dialog()), IDC_DATE_LIST, {16, 14, 414, 286});
    m_dates->setAccessibleName(QStringLiteral("Dates"));
    m_townies->hide();
    m_dates->hide();
}

}  // namespace tryster::app
