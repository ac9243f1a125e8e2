#pragma once
// Step 1, "Beauty is Skin Deep": body type, skin type, gender, and the four
// appearance lists, which mirror the preview's catalog. The preview owns
// the look; the page passes the user's choices to it and shows the lists
// as the preview fills and selects them.

#include "app/WizardPage.h"
#include "preview/NameListModel.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace tryster::app {

class AppearancePage final : public WizardPage, private preview::NameListObserver {
    Q_OBJECT

public:
    explicit AppearancePage(const PageContext& context);
    ~AppearancePage() override;

    void initialise() override;
    // Presses the button of the record's gender, refills the lists for it;
    // Next waits for a gender.
    void enter() override;
    // Body type, skin type and gender into the record.
    bool leave() override;

    // Shows the preview's type inputs in the two type lists (no handler
    // runs: these are the program's choices, not the user's).
    void showCatalogInputs();

    bool malePressed() const;
    bool femalePressed() const;

private:
    void genderClicked(QPushButton* clicked);
    void typeChosen(QComboBox* list, int index);
    void appearanceChosen(QListWidget* list);

    void listReset(const preview::NameListModel& model) override;
    void selectionChanged(const preview::NameListModel& model) override;
    QListWidget* widgetOf(const preview::NameListModel& model) const;

    QComboBox* m_bodyType;
    QComboBox* m_skinType;
    QPushButton* m_male;
    QPushButton* m_female;
    QListWidget* m_bodyMeshes;
    QListWidget* m_bodyTextures;
    QListWidget* m_headMeshes;
    QListWidget* m_headTextures;
};

}  // namespace tryster::app
