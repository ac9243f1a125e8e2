// What a screen reader gets from the window, checked through Qt's own
// accessibility interfaces (the walks in tests/a11y hear it through Orca).

#include "AppFixture.h"

#include "app/Announcer.h"
#include "app/AppearancePage.h"
#include "app/WindowReporter.h"
#include "wizard/Announcements.h"


namespace tryster::app::tests {
namespace {

class ScreenReader : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    // What was announced since the last call. (Qt sends accessibility
    // events only to a running screen reader, which the offscreen platform
    // has none of; the announcements' notifications are there either way.)
    QStringList announced() {
        QStringList texts;
        for (QWidget* note : dialog->findChildren<QWidget*>())
            if (isAnnouncement(note)) {
                texts << QAccessible::queryAccessibleInterface(note)->text(QAccessible::Name);
                EXPECT_EQ(QAccessible::queryAccessibleInterface(note)->role(), QAccessible::Notification);
                delete note;
            }
        return texts;
    }
    QAccessibleInterface* accessible(const char* name) { return QAccessible::queryAccessibleInterface(control(name)); }
};

TEST_F(ScreenReader, AListIsNamedForItsLabelAndItsCurrentEntryHasTheFocusWithIt) {
    click("Create");
    auto* bodies = control<QListWidget>("Body Texture");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(bodies);
    ASSERT_EQ(list->role(), QAccessible::List);
    const auto labels = list->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1) << "braille shows a list by its label";
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), "Body Texture:");
    ASSERT_EQ(list->childCount(), bodies->count());
    QAccessibleInterface* current = list->child(bodies->currentRow());
    EXPECT_EQ(current->role(), QAccessible::ListItem);
    EXPECT_EQ(current->text(QAccessible::Name), bodies->currentItem()->text());
    EXPECT_EQ(current->parent(), list);
    EXPECT_EQ(list->indexOfChild(current), bodies->currentRow());
    EXPECT_FALSE(current->state().focused) << "the list has not the focus";

    bodies->setFocus();
    EXPECT_TRUE(current->state().focused);
    EXPECT_FALSE(list->state().focused) << "the entry holds the focus, so a list is heard with it";
    EXPECT_EQ(list->focusChild(), current);

    // An assistive tool selects with an entry's Toggle, as a click does.
    const int other = (bodies->currentRow() + 1) % bodies->count();
    list->child(other)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(selected("Body Texture"), QStringList{bodies->item(other)->text()});

    // A page not shown has no entry showing; a list without a label on its
    // page has one only assistive tools read.
    QAccessibleInterface* interests = accessible("Interests");
    EXPECT_TRUE(interests->child(0)->state().invisible);
    EXPECT_EQ(interests->relations(QAccessible::Label).size(), 1);
}

// Every page is a panel named for a screen reader to announce; the
// buttons it lays over Back and Next are its own, and the tree is whole:
// each child's parent has it at its index.
TEST_F(ScreenReader, PagesAreNamedPanelsThatHoldTheirButtons) {
    for (const wizard::Step& step : wizard::steps()) {
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(dialog->page(step.step));
        EXPECT_EQ(page->role(), QAccessible::Grouping);
        EXPECT_EQ(page->text(QAccessible::Name).toStdString(), wizard::pageName(step.step));
    }
    QAccessibleInterface* create = accessible("Create");
    EXPECT_EQ(create->parent(), QAccessible::queryAccessibleInterface(dialog->page(wizard::kWelcomeStep)));
    EXPECT_EQ(accessible("Save")->parent(), QAccessible::queryAccessibleInterface(dialog->page(wizard::kExportStep)));

    int seen = 0;
    std::vector<QAccessibleInterface*> todo{QAccessible::queryAccessibleInterface(dialog.get())};
    while (!todo.empty()) {
        QAccessibleInterface* parent = todo.back();
        todo.pop_back();
        for (int i = 0; i < parent->childCount(); ++i) {
            QAccessibleInterface* child = parent->child(i);
            ASSERT_TRUE(child);
            EXPECT_EQ(child->parent(), parent) << child->text(QAccessible::Name).toStdString();
            EXPECT_EQ(parent->indexOfChild(child), i) << child->text(QAccessible::Name).toStdString();
            if (child->role() != QAccessible::ListItem) todo.push_back(child);
            if (child == create) ++seen;
        }
    }
    EXPECT_EQ(seen, 1) << "Create is found once, on its page";
}

TEST_F(ScreenReader, VerbButtonsSayWhatTheyActOn) {
    EXPECT_EQ(accessible("Load")->text(QAccessible::Description).toStdString(), wizard::kLoadDescription);
    EXPECT_EQ(accessible("Install a shared date")->text(QAccessible::Description).toStdString(),
              wizard::kInstallSharedDescription);
    EXPECT_EQ(accessible("Save")->text(QAccessible::Description).toStdString(), wizard::kSaveDateDescription);
    static_cast<AppearancePage*>(dialog->page(wizard::kAppearanceStep))->showLoaded(QStringLiteral("Zo\u00eb"));
    EXPECT_EQ(accessible("Save Back")->text(QAccessible::Description),
              QStringLiteral("Save the new look back into Zo\u00eb's file in the game."));
}

// A field's text is one run from its first letter to its last (a screen
// reader reads the run it is in), and a field the player only reads keeps
// its text whatever a tool asks.
TEST_F(ScreenReader, AFieldIsReadToItsLastLetterAndAReadOnlyOneKeepsItsText) {
    auto* name = control<QLineEdit>("Name of this Plom");
    name->setText(QStringLiteral("Rosa Marsh"));
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(name);
    int start = -1, end = -1;
    field->textInterface()->attributes(9, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(0, 10));
    EXPECT_EQ(field->text(QAccessible::Value), "Rosa Marsh");
    name->setSelection(5, 5);
    field->textInterface()->selection(0, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(5, 10));
    field->editableTextInterface()->replaceText(5, 10, QStringLiteral("Quill"));
    EXPECT_EQ(name->text(), "Rosa Quill");

    auto* gender = control<QLineEdit>("Gender");
    gender->setText(QStringLiteral("Female"));
    QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(gender);
    EXPECT_TRUE(shown->state().readOnly);
    EXPECT_FALSE(shown->state().editable);
    shown->editableTextInterface()->deleteText(0, 6);
    EXPECT_EQ(gender->text(), "Female");
}

TEST_F(ScreenReader, ChangesThePlayerMustKnowAreAnnounced) {
    // A drop-down arrowed through while it has the focus, and not else.
    click("Create");
    auto* bodyType = control<QComboBox>("Body Type");
    ASSERT_TRUE(bodyType->hasFocus());
    QTest::keyClick(bodyType, Qt::Key_Down);
    EXPECT_EQ(announced(), QStringList{"Full"});
    control("Skin Type")->setFocus();
    bodyType->setCurrentIndex(2);
    EXPECT_EQ(announced(), QStringList());

    // The points left as a slider moves, and the sign the button sets.
    dialog->page(wizard::kPersonalityStep)->enter(wizard::kPersonalityStep);
    announced();
    control<QSlider>("Nice")->setValue(2);
    control<QSlider>("Nice")->setValue(2);
    auto* sign = dialog->page(wizard::kPersonalityStep)->findChild<QPushButton*>();
    const QStringList moved = announced();
    ASSERT_EQ(moved.size(), 1) << "the same position again tells nothing";
    EXPECT_TRUE(moved.front().startsWith("23 points left")) << moved.front().toStdString();
    sign->click();
    const QStringList signed_ = announced();
    ASSERT_EQ(signed_.size(), 1);
    EXPECT_TRUE(signed_.front().startsWith("No points left, sign ")) << signed_.front().toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(sign)->text(QAccessible::Name), "Sign: " + sign->text());
}

// A save answers screen readers only at its end: they are told the step
// it ended on.
TEST_F(ScreenReader, ALongOperationTellsTheStepItEndedOn) {
    QLabel status;
    QProgressBar progress;
    progress.setRange(0, 9);
    progress.setValue(0);
    WindowReporter reporter(dialog.get(), &status, &progress, nullptr);
    for (const char* step : {"Creating Web Export Data...", "Building Skin List..."}) {
        reporter.showStatus(step);
        reporter.stepProgress();
    }
    EXPECT_EQ(announced(), QStringList()) << "nothing while it runs";
    reporter.announceLastStep();
    EXPECT_EQ(announced(), QStringList{"Building Skin List..., step 2 of 9"});
}

}  // namespace
}  // namespace tryster::app::tests
