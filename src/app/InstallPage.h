#pragma once
// Step 20, "Install a shared date": a shared date chosen from its archive
// and shown before anything of it is written: on the preview wearing the
// pack's own skins, with its own name, age, gender, description (what the
// pack claims otherwise is a notice) and snapshots, every
// file the install would write and what becomes of it, a choice for each
// skin that differs from the player's, and what else the player must know.
// Install (over Next) writes it all or nothing; Cancel (over Back) leaves
// the game and the preview as they were. What is shown and written is
// decided in src/share.

#include "app/WizardPage.h"
#include "preview/LookModel.h"
#include "share/InstallPlan.h"
#include "share/InstallReview.h"
#include "share/SharedDate.h"

#include <optional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QScrollArea;
class QVBoxLayout;

namespace tryster::app {

class InstallPage final : public WizardPage {
    Q_OBJECT

public:
    InstallPage(PageHost& host, QWidget* parent);

    // Finishes an install a kill interrupted, asks for the archive and shows
    // its date; back to the welcome page when there is none to show.
    int enter(int step) override;
    // Install: true once the date is installed.
    bool leave() override;

Q_SIGNALS:
    void installPressed();
    void cancelled();

private:
    bool open(const QString& archive);
    void showDate();
    void showPlan();
    void chooseConflicts();
    void plan();
    void cancel();

    QLabel* m_body;
    QLabel* m_head;
    QLineEdit* m_name;
    QLineEdit* m_age;
    QLineEdit* m_gender;
    QPlainTextEdit* m_description;
    QListWidget* m_files;
    QLabel* m_conflictsLabel;
    QScrollArea* m_conflicts;
    QVBoxLayout* m_conflictRows;
    std::vector<QCheckBox*> m_choiceBoxes;
    QPlainTextEdit* m_notices;
    QAbstractButton* m_install;

    std::optional<share::SharedDate> m_shared;
    std::vector<share::ConflictChoice> m_choices;
    share::InstallPlan m_plan;
    preview::LookModel::Kept m_lookBefore;
};

}  // namespace tryster::app
