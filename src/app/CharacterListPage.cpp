#include "app/CharacterListPage.h"

#include "app/ListBox.h"
#include "app/TextBoundary.h"
#include "exchange/CharacterReading.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace tryster::app {

CharacterListPage::CharacterListPage(PageHost& host, QWidget* parent, const QString& listName)
    : WizardPage(host, parent) {
    auto* list = place(new ListBox(this), {16, 14, 414, 286});
    list->nameWithoutLabel(listName);
    m_list = list;
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every change of selection is the player's (the program's own are
    // blocked), by mouse, keyboard or an assistive tool.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        platform::playClick();
        previewChosen();
    });
    setTabOrder({m_list});
}

void CharacterListPage::show(const std::vector<std::string>& fileNames) {
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (const std::string& name : fileNames) m_list->addItem(fileNameToQt(name));
    if (m_list->count() > 0) m_list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
}

void CharacterListPage::previewFirst() {
    if (m_list->count() == 0) return;
    platform::playClick();
    previewChosen();
}

void CharacterListPage::previewChosen() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return;
    m_chosen = platform::joinPath(m_folder, qtToFileName(selected.front()->text()));
    const exchange::CharacterReading reading = host().livePreview().showCharacterFile(m_chosen);
    if (reading.opened) host().setProgressTitle(gameTextToQt(reading.name));
}

}  // namespace tryster::app
