#include "app/LoadCommands.h"

#include "app/ExchangeReporter.h"
#include "app/FileDialogs.h"
#include "app/TextBoundary.h"
#include "app/WizardPage.h"
#include "character/PlomData.h"
#include "exchange/CharacterLook.h"
#include "exchange/SaveBack.h"
#include "platform/Sound.h"
#include "preview/Preview.h"

#include <QAbstractItemView>
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>

namespace tryster::app {
namespace {

QLineEdit* valueField(const QString& text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setMinimumWidth(160);
    // Read-only values, drawn as text on the dialog rather than as fields.
    field->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; font-weight: bold; }"));
    QPalette colours = parent->palette();  // in the labels' colour, not an edit field's
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    field->setPalette(colours);
    return field;
}

// The panel follows the file under the cursor, and the file selected by
// any means (a click, the keyboard, an assistive tool's selection).
void addPanel(QFileDialog& chooser, void* context) {
    auto* panel = new LoadExtraPanel(&chooser);
    if (auto* grid = qobject_cast<QGridLayout*>(chooser.layout()))
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    chooser.resize(chooser.sizeHint().width() + panel->sizeHint().width(), chooser.sizeHint().height());
    auto showChosen = [panel](const QString& path) {
        if (QFileInfo(path).isFile()) panel->showFile(path);
    };
    QObject::connect(&chooser, &QFileDialog::currentChanged, panel, showChosen);
    for (QAbstractItemView* view : chooser.findChildren<QAbstractItemView*>()) {
        if (!view->selectionModel()) continue;
        QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, panel,
                         [&chooser, showChosen] {
                             const QStringList files = chooser.selectedFiles();
                             if (!files.isEmpty()) showChosen(files.front());
                         });
    }
    *static_cast<LoadExtraPanel**>(context) = panel;
}

}  // namespace

LoadExtraPanel::LoadExtraPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LOADEXTRA"));
    auto* form = new QFormLayout(this);
    m_name = valueField(QStringLiteral("Fred"), this);
    m_gender = valueField(QStringLiteral("None"), this);
    m_age = valueField(QStringLiteral("None"), this);
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"Character Name:", m_name}, {"Gender:", m_gender}, {"Age:", m_age}};
    for (auto [text, field] : rows) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        nameAfterLabel(label, field);
        form->addRow(label, field);
    }
}

void LoadExtraPanel::showFile(const QString& path) {
    const exchange::ExtraPanelText text =
        exchange::extraPanelText(exchange::readCharacter(qtToFileName(path)));
    m_name->setText(gameTextToQt(text.name));
    m_gender->setText(gameTextToQt(text.gender));
    m_age->setText(gameTextToQt(text.age));
}

QString LoadExtraPanel::characterName() const {
    return m_name->text();
}
QString LoadExtraPanel::gender() const {
    return m_gender->text();
}
QString LoadExtraPanel::age() const {
    return m_age->text();
}

LoadCommands::LoadCommands(QWidget* dialog, PageHost& host, preview::Preview& preview, PlomData& record)
    : QObject(dialog), m_dialog(dialog), m_host(host), m_preview(preview), m_record(record) {
    m_load = new QAction(QString::fromLatin1(kLoadText), this);
    m_load->setShortcut(QKeySequence::Open);
    m_saveBack = new QAction(QString::fromLatin1(kSaveBackText), this);
    m_saveBack->setShortcut(QKeySequence::Save);
    m_saveBack->setEnabled(false);
    m_rescan = new QAction(QString::fromLatin1(kRescanText), this);
    m_rescan->setShortcut(QKeySequence::Refresh);
    for (QAction* action : {m_load, m_saveBack, m_rescan}) {
        action->setShortcutContext(Qt::WindowShortcut);
        dialog->addAction(action);
    }
    connect(m_load, &QAction::triggered, this, &LoadCommands::load);
    connect(m_saveBack, &QAction::triggered, this, &LoadCommands::saveBack);
    connect(m_rescan, &QAction::triggered, this, &LoadCommands::rescan);
}

void LoadCommands::load() {
    platform::playClick(platform::PlayMode::Wait);
    m_host.holdPreview(true);
    LoadExtraPanel* panel = nullptr;
    FileChoice choice;
    choice.title = QStringLiteral("Select a Plom Character");
    choice.folder = gameSubfolder(m_host.installFolder(), "UserData\\Characters");
    choice.filter = QStringLiteral("Ploms Characters (*.iff) (User*.iff)");
    choice.extend = &addPanel;
    choice.context = &panel;
    const QString chosen = chooseFile(m_dialog, choice);
    if (chosen.isEmpty()) {
        m_preview.refillCatalog(true, true);
        m_host.holdPreview(false);
        return;
    }
    m_path = qtToFileName(chosen);
    const exchange::CharacterReading reading = m_host.showCharacterFile(m_path);
    m_dialog->setWindowTitle(gameTextToQt(exchange::loadedWindowTitle(reading)));
    if (reading.opened) m_name = reading.name;
    // Save back needs a file that opened and told its look; a failed load
    // leaves it as it was.
    if (reading.opened && reading.look) {
        // The appearance page then offers the loaded character's gender, so
        // restyling keeps it.
        m_record.setGender(reading.look->isMale ? kMale : kFemale);
        m_saveBack->setEnabled(true);
        Q_EMIT saveBackEnabled(true);
    }
    m_host.holdPreview(false);
}

void LoadCommands::saveBack() {
    platform::playClick(platform::PlayMode::Wait);
    if (m_path.empty()) return;
    ExchangeReporter reporter(m_dialog, nullptr, nullptr, [this] { m_host.redrawNow(); });
    (void)exchange::saveBack(m_path, m_name, m_preview.currentLook(), reporter);
}

void LoadCommands::rescan() {
    platform::playClick();
    m_preview.reloadCatalog();
}

}  // namespace tryster::app
