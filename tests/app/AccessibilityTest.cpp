// The names assistive tools find the controls by, as Qt's accessibility
// reports them, and the order the keyboard visits them in.

#include "AppFixture.h"

#include "app/CTrysterDlg.h"
#include "app/ControlIds.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QItemSelectionModel>

namespace tryster::app::tests {
namespace {

class Accessibility : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        addTemplate();
        installGame();
        dialog = std::make_unique<CTrysterDlg>(startDir.str());
        dialog->initDialog();
    }
    void TearDown() override {
        dialog.reset();
        AppTest::TearDown();
    }
    QString nameOf(int id) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(dialog->control(id));
        return a ? a->text(QAccessible::Name) : QStringLiteral("(none)");
    }
    std::unique_ptr<CTrysterDlg> dialog;
};

TEST_F(Accessibility, EveryControlIsNamedByItsCaptionOrItsLabel) {
    const std::pair<int, const char*> names[] = {{IDC_CREATE, "Create"},
                                                 {IDC_REPLACE, "Replace"},
                                                 {IDC_BACK, "Back"},
                                                 {IDC_NEXT, "Next"},
                                                 {IDC_ABOUT, "About"},
                                                 {IDC_HELP, "Help"},
                                                 {IDC_SAVE, "Save"},
                                                 {IDC_PREVIEW, "Preview"},
                                                 {IDC_FACING_LIST, "Facing"},
                                                 {IDC_ROTATE_LIST, "Rotate"},
                                                 {IDC_ZOOM_SLIDER, "Zoom"},
                                                 {IDC_BODY_TYPE_LIST, "Body Type"},
                                                 {IDC_SKIN_TYPE_LIST, "Skin Type"},
                                                 {IDC_MALE, "Male"},
                                                 {IDC_FEMALE, "Female"},
                                                 {IDC_BODY_MESH_LIST, "Body Mesh"},
                                                 {IDC_BODY_TEXTURE_LIST, "Body Texture"},
                                                 {IDC_HEAD_MESH_LIST, "Head Mesh"},
                                                 {IDC_HEAD_TEXTURE_LIST, "Head Texture"},
                                                 {IDC_NAME, "Name of this Plom"},
                                                 {IDC_DESCRIPTION, "Describe this Plom"},
                                                 {IDC_NICE_SLIDER, "Nice"},
                                                 {IDC_NEAT_SLIDER, "Neat"},
                                                 {IDC_OUTGOING_SLIDER, "Outgoing"},
                                                 {IDC_ACTIVE_SLIDER, "Active"},
                                                 {IDC_PLAYFUL_SLIDER, "Playful"},
                                                 {IDC_SIGN_BUTTON, "What's Your Sign?"},
                                                 {IDC_POINTS_LEFT, "Personality Points Left"},
                                                 {IDC_TOP_INTERESTS, "Select Top 5 Interests"},
                                                 {IDC_REMAINING_INTERESTS, "Interests"},
                                                 {IDC_LOW_INTERESTS, "Low Interests"},
                                                 {IDC_TOP_ADD, "Add Top Interest"},
                                                 {IDC_TOP_REMOVE, "Remove Top Interest"},
                                                 {IDC_LOW_ADD, "Add Low Interest"},
                                                 {IDC_LOW_REMOVE, "Remove Low Interest"},
                                                 {IDC_JOB_TRACK, "Job Track"},
                                                 {IDC_JOB_LEVEL, "Job Level"},
                                                 {IDC_PROGRESS, "Progress"},
                                                 {IDC_TOWNIE_LIST, "Townies"},
                                                 {IDC_DATE_LIST, "Dates"}};
    for (auto [id, name] : names) EXPECT_EQ(nameOf(id), QString::fromLatin1(name)) << id;
}

TEST_F(Accessibility, ADropDownIsNamedByItsLabelAndValuedByItsEntry) {
    QAccessibleInterface* facing = QAccessible::queryAccessibleInterface(dialog->control(IDC_FACING_LIST));
    ASSERT_TRUE(facing);
    EXPECT_EQ(facing->role(), QAccessible::ComboBox);
    EXPECT_EQ(facing->text(QAccessible::Value), "South East");
    EXPECT_EQ(facing->childCount(), 1) << "its list";
    ASSERT_TRUE(facing->actionInterface());
    EXPECT_TRUE(facing->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

TEST_F(Accessibility, ADropDownTakesTheEntrySelectedInItsList) {
    auto* rotate = qobject_cast<QComboBox*>(dialog->control(IDC_ROTATE_LIST));
    sounds.events.clear();
    // What an assistive tool's "select child" does: a selection in the list,
    // without moving the current entry.
    rotate->view()->selectionModel()->select(rotate->model()->index(2, 0),
                                             QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(rotate->currentText(), "Fast");
    EXPECT_FLOAT_EQ(dialog->preview().view().rotationSpeed, 1.5f);
    EXPECT_EQ(sounds.events.size(), 1u) << "a user's choice clicks";
}

TEST_F(Accessibility, TheKeyboardVisitsThePageInReadingOrder) {
    // On step 0: Create, Replace, then the view controls and the buttons
    // beside them.
    dialog->show();
    QWidget* first = dialog->control(IDC_CREATE);
    first->setFocus();
    QStringList visited;
    QWidget* w = first;
    for (int i = 0; i < 7; ++i) {
        visited << nameOf(controlId(w));
        w = w->nextInFocusChain();
        while (w &&
               (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) || !controlId(w)))
            w = w->nextInFocusChain();
    }
    EXPECT_EQ(visited, (QStringList{"Create", "Replace", "Facing", "Rotate", "Zoom", "About", "Help"}));
}

}  // namespace
}  // namespace tryster::app::tests
