#include "app/ConfirmReplacePage.h"

#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/CharacterListPage.h"
#include "app/FolderRecovery.h"
#include "app/LivePreview.h"
#include "app/TextBoundary.h"
#include "app/WindowReporter.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/TownieReplacement.h"
#include "share/GameChange.h"
#include "wizard/PageRules.h"
#include "wizard/StepTable.h"

namespace tryster::app {

ConfirmReplacePage::ConfirmReplacePage(PageHost& host, QWidget* parent, const CharacterListPage& townies,
                                       const CharacterListPage& dates)
    : WizardPage(host, parent), m_townies(townies), m_dates(dates) {}

int ConfirmReplacePage::enter(int) {
    const std::string& townie = m_townies.chosenPath();
    const std::string& date = m_dates.chosenPath();
    if (townie.empty() || date.empty()) {
        showMessage(this, gameTextToQt(wizard::kWarningCaption),
                    QStringLiteral("Please choose a Townie and a Date first: nothing was replaced."));
        return wizard::kWelcomeStep;
    }
    if (askOkCancel(this, gameTextToQt(exchange::kInquiryCaption),
                    QStringLiteral("Are you sure you want to replace this Plom?"))) {
        if (!finishInterrupted(this, host().installFolder())) return wizard::kWelcomeStep;
        share::GameChange change(host().installFolder(), share::ChangeKind::TownieReplaced);
        WindowReporter reporter(this, nullptr, nullptr, [this] { host().livePreview().redrawNow(); });
        reporter.holdMessages();
        const exchange::ReplaceResult replaced = exchange::replaceTownie(townie, date, reporter, change);
        reporter.showHeld(exchange::failureDetail(replaced));
        host().livePreview().redrawNow();
    }
    return wizard::kWelcomeStep;
}

}  // namespace tryster::app
