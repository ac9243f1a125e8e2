#include "app/ReplacePage.h"

#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/ControlIds.h"
#include "app/ExchangeReporter.h"
#include "app/FileDialogs.h"
#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"
#include "preview/Preview.h"
#include "wizard/PageRules.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QSignalBlocker>

namespace tryster::app {
namespace {

const QString kNoChoiceMessage =
    QStringLiteral("Please choose a Townie and a Date first: nothing was replaced.");

// The selected entry's text, whichever way it was selected; empty when
// none is.
std::string selectedName(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? std::string() : qtToFileName(selected.front()->text());
}

// Fills the list in the order given and selects the first entry, as the
// program's choice (no handler runs).
void fill(QListWidget* list, const std::vector<std::string>& names) {
    const QSignalBlocker block(list);
    list->clear();
    for (const std::string& name : names) list->addItem(fileNameToQt(name));
    if (list->count() > 0) list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
}

}  // namespace

ReplacePage::ReplacePage(const PageContext& context) : WizardPage(context) {
    m_townies = place(new QListWidget(dialog()), IDC_TOWNIE_LIST, {16, 14, 414, 286});
    m_townies->setAccessibleName(QStringLiteral("Townies"));
    m_dates = place(new QListWidget(dialog()), IDC_DATE_LIST, {16, 14, 414, 286});
    m_dates->setAccessibleName(QStringLiteral("Dates"));
    for (QListWidget* list : {m_townies, m_dates}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->hide();
    }
    connect(m_townies, &QListWidget::itemSelectionChanged, this, [this] {
        platform::playClick();
        previewTownie();
    });
    connect(m_dates, &QListWidget::itemSelectionChanged, this, [this] {
        platform::playClick();
        previewDate();
    });
}

bool ReplacePage::chooseNeighbourhood() {
    FileChoice choice;
    choice.title = QStringLiteral("Select the neighborhood:");
    choice.folder = gameSubfolder(host().installFolder(), "UserData");
    choice.filter = QStringLiteral("Neighborhoods (*.iff) (Neighborhood.iff)");
    choice.file = QStringLiteral("Neighborhood.iff");
    const QString chosen = chooseFile(dialog(), choice);
    if (chosen.isEmpty()) return false;
    m_charactersFolder = exchange::neighborhoodCharactersFolder(qtToFileName(chosen));
    host().setProgressTitle(gameTextToQt(exchange::kSelectTownieTitle));
    return true;
}

// A path from an earlier search is never kept: with an empty list nothing
// is selected, so nothing can be replaced.
void ReplacePage::searchTownies() {
    const WaitCursor wait;
    host().setProgressTitle(gameTextToQt(exchange::kSearchingTowniesTitle));
    m_townie.clear();
    host().holdPreview(true);
    fill(m_townies, exchange::searchTownies(m_charactersFolder));
    host().holdPreview(false);
    if (m_townies->count() > 0) {
        platform::playClick();
        previewTownie();
    }
}

void ReplacePage::searchDates() {
    const WaitCursor wait;
    host().setProgressTitle(gameTextToQt(exchange::kSearchingDatesTitle));
    m_date.clear();
    host().holdPreview(true);
    fill(m_dates, exchange::searchDates(host().installFolder()));
    host().holdPreview(false);
    if (m_dates->count() > 0) {
        platform::playClick();
        previewDate();
    }
}

void ReplacePage::previewTownie() {
    const std::string name = selectedName(m_townies);
    if (name.empty()) return;
    m_townie = m_charactersFolder + name;
    previewCharacter(m_townie);
}

void ReplacePage::previewDate() {
    const std::string name = selectedName(m_dates);
    if (name.empty()) return;
    m_date = platform::joinPath(exchange::datesFolder(host().installFolder()), name);
    previewCharacter(m_date);
}

void ReplacePage::previewCharacter(const std::string& path) {
    const exchange::CharacterReading reading = host().showCharacterFile(path);
    if (reading.opened) host().setProgressTitle(gameTextToQt(reading.name));
}

void ReplacePage::confirmReplace() {
    if (m_townie.empty() || m_date.empty()) {
        showMessage(dialog(), gameTextToQt(wizard::kWarningCaption), kNoChoiceMessage);
        return;
    }
    if (!askOkCancel(dialog(), gameTextToQt(exchange::kInquiryCaption),
                     QStringLiteral("Are you sure you want to replace this Plom?")))
        return;
    ExchangeReporter reporter(dialog(), nullptr, nullptr, [this] { host().redrawNow(); });
    (void)exchange::replaceTownie(m_townie, m_date, reporter);
    dialog()->update();
    host().redrawNow();
}

}  // namespace tryster::app
