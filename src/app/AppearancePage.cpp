#include "app/AppearancePage.h"

#include "app/ControlIds.h"
#include "app/TextBoundary.h"
#include "character/PlomData.h"
#include "platform/Sound.h"
#include "preview/Preview.h"
#include "wizard/PageRules.h"
#include "wizard/StepTable.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tryster::app {
namespace {

const QStringList kBodyTypes = {QStringLiteral("Fit"), QStringLiteral("Full"), QStringLiteral("Thin")};
const QStringList kSkinTypes = {QStringLiteral("Light"), QStringLiteral("Medium"), QStringLiteral("Dark")};

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

AppearancePage::AppearancePage(const PageContext& context) : WizardPage(context) {
    QWidget* d = dialog();
    auto* bodyTypeLabel = placeLabel(QStringLiteral("Body Type:"), IDC_BODY_TYPE_LABEL, {16, 14, 130, 18});
    m_bodyType = place(new QComboBox(d), IDC_BODY_TYPE_LIST, {16, 32, 130, 26});
    m_bodyType->addItems(kBodyTypes);
    nameAfterLabel(bodyTypeLabel, m_bodyType);

    auto* skinTypeLabel = placeLabel(QStringLiteral("Skin Type:"), IDC_SKIN_TYPE_LABEL, {156, 14, 130, 18});
    m_skinType = place(new QComboBox(d), IDC_SKIN_TYPE_LIST, {156, 32, 130, 26});
    m_skinType->addItems(kSkinTypes);
    nameAfterLabel(skinTypeLabel, m_skinType);

    placeLabel(QStringLiteral("Gender:"), IDC_GENDER_LABEL, {296, 14, 134, 18});
    // Two toggles, not an exclusive pair: each click flips both.
    m_male = place(new QPushButton(QStringLiteral("Male"), d), IDC_MALE, {296, 32, 65, 26});
    m_female = place(new QPushButton(QStringLiteral("Female"), d), IDC_FEMALE, {365, 32, 65, 26});
    for (QPushButton* b : {m_male, m_female}) {
        b->setCheckable(true);
        b->setAutoExclusive(false);
        b->setAutoDefault(false);
        // Toggled, not clicked: an assistive tool's toggle action flips the
        // button without a click.
        connect(b, &QPushButton::toggled, this, [this, b] { genderClicked(b); });
        b->setStyleSheet(
            QStringLiteral("QPushButton:checked { background: #ffd27a; color: #5a0000; font-weight: bold;"
                           " border: 1px solid #5a1010; border-radius: 3px; }"));
    }
    connect(m_bodyType, &QComboBox::currentIndexChanged, this, [this](int i) { typeChosen(m_bodyType, i); });
    connect(m_skinType, &QComboBox::currentIndexChanged, this, [this](int i) { typeChosen(m_skinType, i); });

    struct ListSpot {
        QListWidget** list;
        const char* label;
        int labelId, listId;
        QRect labelRect, listRect;
    };
    const ListSpot spots[] = {
        {&m_bodyMeshes,
         "Body Mesh:",
         IDC_BODY_MESH_LABEL,
         IDC_BODY_MESH_LIST,
         {16, 68, 203, 18},
         {16, 86, 203, 96}},
        {&m_bodyTextures,
         "Body Texture:",
         IDC_BODY_TEXTURE_LABEL,
         IDC_BODY_TEXTURE_LIST,
         {229, 68, 201, 18},
         {229, 86, 201, 96}},
        {&m_headMeshes,
         "Head Mesh:",
         IDC_HEAD_MESH_LABEL,
         IDC_HEAD_MESH_LIST,
         {16, 190, 203, 18},
         {16, 208, 203, 92}},
        {&m_headTextures,
         "Head Texture:",
         IDC_HEAD_TEXTURE_LABEL,
         IDC_HEAD_TEXTURE_LIST,
         {229, 190, 201, 18},
         {229, 208, 201, 92}},
    };
    for (const ListSpot& spot : spots) {
        auto* label = placeLabel(QString::fromLatin1(spot.label), spot.labelId, spot.labelRect);
        QListWidget* list = place(new QListWidget(d), spot.listId, spot.listRect);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        nameAfterLabel(label, list);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] { appearanceChosen(list); });
        *spot.list = list;
    }

    preview::SkinCatalog& catalog = preview().catalog();
    for (preview::NameListModel* model :
         {&catalog.bodyMeshes, &catalog.bodyTextures, &catalog.headMeshes, &catalog.headTextures})
        model->setObserver(this);
}

AppearancePage::~AppearancePage() {
    preview::SkinCatalog& catalog = preview().catalog();
    for (preview::NameListModel* model :
         {&catalog.bodyMeshes, &catalog.bodyTextures, &catalog.headMeshes, &catalog.headTextures})
        model->setObserver(nullptr);
}

void AppearancePage::initialise() {
    showCatalogInputs();
}

bool AppearancePage::malePressed() const {
    return m_male->isChecked();
}
bool AppearancePage::femalePressed() const {
    return m_female->isChecked();
}

void AppearancePage::enter() {
    {
        const QSignalBlocker blockMale(m_male), blockFemale(m_female);
        m_male->setChecked(record().gender() == kMale);
        m_female->setChecked(record().gender() == kFemale);
    }
    const bool chosen = wizard::appearanceNextEnabled(malePressed(), femalePressed());
    if (QWidget* next = controls().find(IDC_NEXT)) next->setEnabled(chosen);
    preview().enterAppearance(malePressed(), femalePressed());
}

bool AppearancePage::leave() {
    wizard::commitAppearance(record(), m_bodyType->currentIndex(), m_skinType->currentIndex(), malePressed());
    return true;
}

void AppearancePage::showCatalogInputs() {
    const preview::CatalogInputs& in = preview().inputs();
    const QSignalBlocker blockBody(m_bodyType), blockSkin(m_skinType);
    m_bodyType->setCurrentIndex(in.bodyTypeIndex);
    m_skinType->setCurrentIndex(in.skinToneIndex);
}

void AppearancePage::genderClicked(QPushButton* clicked) {
    platform::playClick();
    QPushButton* other = clicked == m_male ? m_female : m_male;
    {
        const QSignalBlocker block(other);
        other->setChecked(!clicked->isChecked());
    }
    if (QWidget* next = controls().find(IDC_NEXT)) next->setEnabled(true);
    preview().chooseGender(femalePressed());
}

void AppearancePage::typeChosen(QComboBox* list, int index) {
    platform::playClick();
    if (index < 0) return;
    if (list == m_bodyType)
        preview().chooseBodyType(index);
    else
        preview().chooseSkinType(index);
}

void AppearancePage::appearanceChosen(QListWidget* list) {
    const preview::SkinCatalog& catalog = preview().catalog();
    const preview::NameListModel& model = list == m_bodyMeshes     ? catalog.bodyMeshes
                                          : list == m_bodyTextures ? catalog.bodyTextures
                                          : list == m_headMeshes   ? catalog.headMeshes
                                                                   : catalog.headTextures;
    const std::string name = selectedEntry(list, model);
    if (list == m_bodyMeshes)
        preview().chooseBodyMesh(name);
    else if (list == m_bodyTextures)
        preview().chooseBodyTexture(name);
    else if (list == m_headMeshes)
        preview().chooseHeadMesh(name);
    else
        preview().chooseHeadTexture(name);
}

QListWidget* AppearancePage::widgetOf(const preview::NameListModel& model) const {
    const preview::SkinCatalog& catalog = preview().catalog();
    if (&model == &catalog.bodyMeshes) return m_bodyMeshes;
    if (&model == &catalog.bodyTextures) return m_bodyTextures;
    if (&model == &catalog.headMeshes) return m_headMeshes;
    return m_headTextures;
}

// The lists follow the catalog; these are the program's selections, so the
// handlers meant for the user's do not run.
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
