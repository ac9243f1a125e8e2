#pragma once
// A page that lists character files of one folder (the Replace path's
// townies and dates) in the order they were found. After each search the
// first is selected and previewed; every selection the player makes
// previews its character, with its catalog name in the title.

#include "app/LivePreview.h"
#include "app/WizardPage.h"

#include <string>
#include <vector>

class QListWidget;

namespace tryster::app {

class CharacterListPage : public WizardPage {
    Q_OBJECT

public:
    // The chosen file's path; empty while nothing is chosen.
    const std::string& chosenPath() const { return m_chosen; }

protected:
    // `listName` is the list's accessible name.
    CharacterListPage(PageHost& host, QWidget* parent, const QString& listName);

    // Lists what `search` finds in `folder`, with the preview held, and
    // previews the first. A choice from an earlier search is never kept.
    template <typename Search>
    void search(std::string folder, Search search) {
        m_chosen.clear();
        m_folder = std::move(folder);
        host().livePreview().hold(true);
        show(search());
        host().livePreview().hold(false);
        previewFirst();
    }

private:
    void show(const std::vector<std::string>& fileNames);
    void previewFirst();
    void previewChosen();

    QListWidget* m_list;
    std::string m_folder;
    std::string m_chosen;
};

}  // namespace tryster::app
