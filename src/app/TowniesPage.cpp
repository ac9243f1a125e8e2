#include "app/TowniesPage.h"

#include "app/FileDialogs.h"
#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/TownieSearch.h"
#include "wizard/StepTable.h"

namespace tryster::app {

TowniesPage::TowniesPage(PageHost& host, QWidget* parent)
    : CharacterListPage(host, parent, QStringLiteral("Townies")) {}

int TowniesPage::enter(int step) {
    FileChoice choice;
    choice.title = QStringLiteral("Select the neighborhood:");
    choice.folder = gameSubfolder(host().installFolder(), "UserData");
    choice.filter = QStringLiteral("Neighborhoods (*.iff) (Neighborhood.iff)");
    choice.file = QStringLiteral("Neighborhood.iff");
    const QString chosen = chooseFile(this, choice);
    if (chosen.isEmpty()) return wizard::kWelcomeStep;
    host().setProgressTitle(gameTextToQt(exchange::kSelectTownieTitle));

    const WaitCursor wait;
    host().setProgressTitle(gameTextToQt(exchange::kSearchingTowniesTitle));
    const std::string folder = exchange::neighborhoodCharactersFolder(qtToFileName(chosen));
    search(folder, [&folder] { return exchange::searchTownies(folder); });
    return step;
}

}  // namespace tryster::app
