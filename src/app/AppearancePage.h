#pragma once
// Step 1, "Beauty is Skin Deep": body type, skin type, gender, and the four
// appearance lists. The look model owns every choice; the page passes the
// player's choices to it and shows the lists and choices as the model fills
// and makes them. While a character of the player's is loaded, the page
// also offers to save its new look back into the character's file.

#include "app/WizardPage.h"
#include "preview/LookModel.h"
#include "preview/NameListModel.h"

class QComboBox;
class QListWidget;
class QPushButton;

namespace tryster::app {

class AppearancePage final : public WizardPage, private preview::LookObserver, private preview::NameListObserver {
    Q_OBJECT

public:
    AppearancePage(PageHost& host, QWidget* parent);
    ~AppearancePage() override;

    // The look's gender pressed (none while it has none), the lists
    // refilled for it; Next waits for a gender.
    int enter(int step) override;

    // A character of the player's was loaded (`name` its catalog name as the
    // window shows it): Save back is offered from now on.
    void showLoaded(const QString& name);

Q_SIGNALS:
    void nextAllowed(bool allowed);
    void saveBackPressed();

private:
    void genderToggled(QPushButton* toggled);
    // Next goes on once the look has a gender.
    void allowNext();
    void listChosen(QListWidget* list, const preview::NameListModel& model);
    // The lists shorten to make room for the Save back row.
    void layOutLists(bool withSaveBack);

    void lookChanged(const preview::LookModel& look) override;
    void listReset(const preview::NameListModel& model) override;
    void selectionChanged(const preview::NameListModel& model) override;
    QListWidget* widgetOf(const preview::NameListModel& model) const;

    preview::LookModel& m_look;
    QComboBox* m_bodyType;
    QComboBox* m_skinType;
    QPushButton* m_male;
    QPushButton* m_female;
    // Body mesh, body texture, head mesh, head texture: the models, the
    // lists that show them and their labels.
    const preview::NameListModel* m_models[4];
    QListWidget* m_lists[4];
    QLabel* m_labels[4];
    QLabel* m_restyling;
    QPushButton* m_saveBack;
};

}  // namespace tryster::app
