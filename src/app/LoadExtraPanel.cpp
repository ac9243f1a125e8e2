#include "app/LoadExtraPanel.h"

#include "app/TextBoundary.h"
#include "app/WizardPage.h"
#include "exchange/CharacterReading.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>

namespace tryster::app {
namespace {

// Read-only values, drawn as text on the dialog rather than as fields, in
// the labels' colour.
QLineEdit* valueField(const QString& text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setFrame(false);
    field->setMinimumWidth(160);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; font-weight: bold; }"));
    QPalette colours = parent->palette();
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    field->setPalette(colours);
    return field;
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

LoadExtraPanel* LoadExtraPanel::addTo(QFileDialog& chooser) {
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
    return panel;
}

void LoadExtraPanel::showFile(const QString& path) {
    const exchange::ExtraPanelText text = exchange::extraPanelText(exchange::readCharacter(qtToFileName(path)));
    m_name->setText(gameTextToQt(text.name));
    m_gender->setText(gameTextToQt(text.gender));
    m_age->setText(gameTextToQt(text.age));
}

}  // namespace tryster::app
