#include "app/AppearancePage.h"

#include "app/CPictureButton.h"
#include "app/ListBox.h"
#include "app/TextBoundary.h"
#include "platform/Sound.h"
#include "wizard/Announcements.h"
#include "wizard/StepTable.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tryster::app {
namespace {

template <std::size_t N>
QStringList entriesOf(const std::array<std::string_view, N>& words) {
    QStringList out;
    for (std::string_view word : words) out << gameTextToQt(word);
    return out;
}

// The lists' places: full height, or shortened to leave the bottom row to
// Save back.
constexpr int kBodyListHeight = 96, kHeadListHeight = 92;
constexpr int kShortBodyListHeight = 78, kShortHeadListHeight = 68;
constexpr int kListsTop = 68, kLabelHeight = 18, kListGap = 8;

// The model's entry that the list has selected, whichever way it was
// selected (a click, the keyboard, or an assistive tool that selects
// without moving the current row); empty when none is. The list shows the
// model's entries in the model's order, so the row names the entry.
std::string selectedEntry(const QListWidget* list, const preview::NameListModel& model) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    const int row = selected.isEmpty() ? -1 : list->row(selected.front());
    return row < 0 || static_cast<std::size_t>(row) >= model.size() ? std::string()
                                                                     : model.entries()[static_cast<std::size_t>(row)];
}

}  // namespace

AppearancePage::AppearancePage(PageHost& host, QWidget* parent) : WizardPage(host, parent), m_look(host.look()) {
    auto* bodyTypeLabel = placeLabel(QStringLiteral("Body Type:"), {16, 14, 130, 18});
    m_bodyType = place(new QComboBox(this), {16, 32, 130, 26});
    m_bodyType->addItems(entriesOf(kBodyTypeEntries));
    m_bodyType->setToolTip(QStringLiteral("Change the Body Type."));
    nameAfterLabel(bodyTypeLabel, m_bodyType);

    auto* skinTypeLabel = placeLabel(QStringLiteral("Skin Type:"), {156, 14, 130, 18});
    m_skinType = place(new QComboBox(this), {156, 32, 130, 26});
    m_skinType->addItems(entriesOf(kSkinTypeEntries));
    m_skinType->setToolTip(QStringLiteral("Change the skin color."));
    nameAfterLabel(skinTypeLabel, m_skinType);

    placeLabel(QStringLiteral("Gender:"), {296, 14, 134, 18});
    // Two toggles, not an exclusive pair: each click flips both.
    m_male = place(new QPushButton(QStringLiteral("Male"), this), {296, 32, 65, 26});
    m_female = place(new QPushButton(QStringLiteral("Female"), this), {365, 32, 65, 26});
    for (QPushButton* b : {m_male, m_female}) {
        b->setCheckable(true);
        b->setAutoExclusive(false);
        b->setAutoDefault(false);
        // Toggled, not clicked: an assistive tool's toggle action flips the
        // button without a click.
        connect(b, &QPushButton::toggled, this, [this, b] { genderToggled(b); });
        b->setStyleSheet(
            QStringLiteral("QPushButton:checked { background: #ffd27a; color: #5a0000; font-weight: bold;"
                           " border: 1px solid #5a1010; border-radius: 3px; }"));
    }
    // Every change of selection is the player's: the program's own block
    // these signals.
    connect(m_bodyType, &QComboBox::currentIndexChanged, this, [this](int index) {
        platform::playClick();
        if (index >= 0) m_look.chooseBodyType(index);
    });
    connect(m_skinType, &QComboBox::currentIndexChanged, this, [this](int index) {
        platform::playClick();
        if (index >= 0) m_look.chooseSkinTone(index);
    });

    const preview::SkinCatalog& catalog = m_look.catalog();
    const struct {
        const char* label;
        const char* tip;
        const preview::NameListModel& model;
    } lists[] = {
        {"Body Mesh:", "Select a body here.", catalog.bodyMeshes},
        {"Body Texture:", "Select a texture for the body here.", catalog.bodyTextures},
        {"Head Mesh:", "Select a head here.", catalog.headMeshes},
        {"Head Texture:", "Select a texture for the head here.", catalog.headTextures},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        m_models[i] = &lists[i].model;
        m_labels[i] = new QLabel(QString::fromLatin1(lists[i].label), this);
        QListWidget* list = m_lists[i] = new ListBox(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setToolTip(QString::fromLatin1(lists[i].tip));
        nameAfterLabel(m_labels[i], list);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, i] { listChosen(m_lists[i], *m_models[i]); });
        // The page shows the model's lists as they are filled and selected.
        m_models[i]->setObserver(this);
    }

    m_restyling = placeLabel(QString(), {16, 262, 284, 36});
    m_restyling->setWordWrap(true);
    auto* saveBack = place(new CPictureButton(QStringLiteral("Save"), this), {310, 262, 120, 36});
    saveBack->loadBitmaps();
    saveBack->setAccessibleName(QStringLiteral("Save Back"));
    saveBack->setToolTip(QStringLiteral("Save this Plom back to the game."));
    connect(saveBack, &QPushButton::clicked, this, &AppearancePage::saveBackPressed);
    m_saveBack = saveBack;
    m_restyling->hide();
    m_saveBack->hide();
    layOutLists(false);

    m_look.addObserver(this);
    lookChanged(m_look);
    setTabOrder({m_bodyType, m_skinType, m_male, m_female, m_lists[0], m_lists[1], m_lists[2], m_lists[3],
                 m_saveBack});
}

AppearancePage::~AppearancePage() {
    m_look.removeObserver(this);
    for (const preview::NameListModel* model : m_models) model->setObserver(nullptr);
}

void AppearancePage::layOutLists(bool withSaveBack) {
    const int bodyHeight = withSaveBack ? kShortBodyListHeight : kBodyListHeight;
    const int headHeight = withSaveBack ? kShortHeadListHeight : kHeadListHeight;
    const int headLabelTop = kListsTop + kLabelHeight + bodyHeight + kListGap;
    for (std::size_t i = 0; i < 4; ++i) {
        const bool left = i % 2 == 0, head = i >= 2;
        const int x = left ? 16 : 229, width = left ? 203 : 201;
        const int labelTop = head ? headLabelTop : kListsTop;
        m_labels[i]->setGeometry(x, labelTop, width, kLabelHeight);
        m_lists[i]->setGeometry(x, labelTop + kLabelHeight, width, head ? headHeight : bodyHeight);
    }
}

void AppearancePage::showLoaded(const QString& name) {
    m_restyling->setText(QStringLiteral("Restyling %1: choose the new look, then save it back.").arg(name));
    m_saveBack->setAccessibleDescription(
        gameTextToQt(wizard::saveBackDescription(qtToGameText(name, false).text.value_or(std::string()))));
    m_restyling->show();
    m_saveBack->show();
    layOutLists(true);
}

int AppearancePage::enter(int step) {
    m_look.enterLookPage();
    allowNext();
    return step;
}

void AppearancePage::allowNext() {
    Q_EMIT nextAllowed(wizard::appearanceNextEnabled(m_look.gender()));
}

void AppearancePage::genderToggled(QPushButton* toggled) {
    platform::playClick();
    QPushButton* other = toggled == m_male ? m_female : m_male;
    {
        const QSignalBlocker block(other);
        other->setChecked(!toggled->isChecked());
    }
    m_look.chooseGender(m_female->isChecked() ? kFemale : kMale);
    allowNext();
}

void AppearancePage::listChosen(QListWidget* list, const preview::NameListModel& model) {
    const std::string name = selectedEntry(list, model);
    const preview::SkinCatalog& catalog = m_look.catalog();
    if (&model == &catalog.bodyMeshes)
        m_look.chooseBodyMesh(name);
    else if (&model == &catalog.bodyTextures)
        m_look.chooseBodyTexture(name);
    else if (&model == &catalog.headMeshes)
        m_look.chooseHeadMesh(name);
    else
        m_look.chooseHeadTexture(name);
}

// The program's choices, shown without running the handlers meant for the
// player's.
void AppearancePage::lookChanged(const preview::LookModel& look) {
    const QSignalBlocker blockBody(m_bodyType), blockSkin(m_skinType), blockMale(m_male), blockFemale(m_female);
    m_bodyType->setCurrentIndex(look.bodyType());
    m_skinType->setCurrentIndex(look.skinTone());
    m_male->setChecked(look.gender() == kMale);
    m_female->setChecked(look.gender() == kFemale);
}

QListWidget* AppearancePage::widgetOf(const preview::NameListModel& model) const {
    for (std::size_t i = 0; i < 4; ++i)
        if (m_models[i] == &model) return m_lists[i];
    return nullptr;
}

void AppearancePage::listReset(const preview::NameListModel& model) {
    QListWidget* list = widgetOf(model);
    const QSignalBlocker block(list);
    list->clear();
    for (const std::string& name : model.entries()) list->addItem(gameTextToQt(name));
    selectionChanged(model);
}

void AppearancePage::selectionChanged(const preview::NameListModel& model) {
    QListWidget* list = widgetOf(model);
    const QSignalBlocker block(list);
    const int index = model.selectedIndex();
    if (index == preview::NameListModel::kNoSelection || index >= list->count()) {
        list->clearSelection();
        return;
    }
    list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(index));
}

}  // namespace tryster::app
