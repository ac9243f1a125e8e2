#pragma once
// Steps 10 to 12: a neighbourhood's townies, the dates that can take a
// townie's place, and the replacement. Each list shows its entries in the
// order they were found; the first is selected and previewed after each
// search, and every selection the user makes previews its character.

#include "app/WizardPage.h"

#include <string>

class QListWidget;

namespace tryster::app {

class ReplacePage final : public WizardPage {
    Q_OBJECT

public:
    explicit ReplacePage(const PageContext& context);

    // Step 10: asks for the neighbourhood file; false when cancelled.
    bool chooseNeighbourhood();
    // Step 10 after a choice: the neighbourhood's townies.
    void searchTownies();
    // Step 11: the dates.
    void searchDates();
    // Step 12: asks, and replaces the townie on OK. Without a townie and a
    // date chosen it replaces nothing and says why.
    void confirmReplace();

    const std::string& charactersFolder() const { return m_charactersFolder; }
    const std::string& selectedTowniePath() const { return m_townie; }
    const std::string& selectedDatePath() const { return m_date; }

private:
    void previewTownie();
    void previewDate();
    // Shows the character at `path`, with its catalog name in the title.
    void previewCharacter(const std::string& path);

    QListWidget* m_townies;
    QListWidget* m_dates;
    std::string m_charactersFolder;
    std::string m_townie;
    std::string m_date;
};

}  // namespace tryster::app
