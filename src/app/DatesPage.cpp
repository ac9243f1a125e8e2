#include "app/DatesPage.h"

#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/TownieSearch.h"

namespace tryster::app {

DatesPage::DatesPage(PageHost& host, QWidget* parent) : CharacterListPage(host, parent, QStringLiteral("Dates")) {}

int DatesPage::enter(int step) {
    const WaitCursor wait;
    host().setProgressTitle(gameTextToQt(exchange::kSearchingDatesTitle));
    const std::string game = host().installFolder();
    search(exchange::datesFolder(game), [&game] { return exchange::searchDates(game); });
    return step;
}

}  // namespace tryster::app
