#include "app/InstallPage.h"

#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/FileDialogs.h"
#include "app/FolderRecovery.h"
#include "app/ListBox.h"
#include "app/LivePreview.h"
#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "exchange/ExchangeTexts.h"
#include "formats/JpegImage.h"
#include "platform/Sound.h"
#include "share/GameChange.h"
#include "share/Installer.h"
#include "share/PackLimits.h"
#include "share/Recovery.h"
#include "wizard/Announcements.h"
#include "wizard/PageRules.h"
#include "wizard/StepTable.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tryster::app {
namespace {

constexpr int kRight = 128;  // the right column, beside the snapshots
constexpr int kRightWidth = 302;

QLineEdit* valueField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

// A snapshot of the pack, decoded as the pack's check decoded it, fitted
// to its place; "No picture" where the pack has none.
void showSnapshot(QLabel* place, const share::PackFile* file) {
    formats::JpegPicture picture;
    if (!file || !formats::decodeJpeg(file->bytes, share::kMaxSnapshotSide, picture)) {
        place->setPixmap({});
        place->setText(QStringLiteral("No picture"));
        return;
    }
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                       picture.width * 4, QImage::Format_RGB32);
    place->setPixmap(QPixmap::fromImage(image.copy()).scaled(place->size(), Qt::KeepAspectRatio,
                                                              Qt::SmoothTransformation));
}

}  // namespace

InstallPage::InstallPage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    m_body = place(new QLabel(this), {16, 10, 100, 220});
    m_body->setAccessibleName(QStringLiteral("Body snapshot"));
    m_head = place(new QLabel(this), {16, 238, 45, 45});
    m_head->setAccessibleName(QStringLiteral("Head snapshot"));
    for (QLabel* picture : {m_body, m_head}) {
        picture->setAlignment(Qt::AlignCenter);
        picture->setWordWrap(true);
    }

    auto* nameLabel = placeLabel(QStringLiteral("Name:"), {kRight, 8, 140, 16});
    m_name = place(valueField(this), {kRight, 24, 140, 24});
    nameAfterLabel(nameLabel, m_name);
    auto* ageLabel = placeLabel(QStringLiteral("Age:"), {kRight + 148, 8, 72, 16});
    m_age = place(valueField(this), {kRight + 148, 24, 72, 24});
    nameAfterLabel(ageLabel, m_age);
    auto* genderLabel = placeLabel(QStringLiteral("Gender:"), {kRight + 228, 8, 74, 16});
    m_gender = place(valueField(this), {kRight + 228, 24, 74, 24});
    nameAfterLabel(genderLabel, m_gender);
    auto* descriptionLabel = placeLabel(QStringLiteral("Description:"), {kRight, 52, kRightWidth, 16});
    m_description = place(new QPlainTextEdit(this), {kRight, 68, kRightWidth, 44});
    m_description->setReadOnly(true);
    m_description->setTabChangesFocus(true);
    nameAfterLabel(descriptionLabel, m_description);

    auto* filesLabel = placeLabel(QStringLiteral("Files to be written:"), {kRight, 116, kRightWidth, 16});
    m_files = place(new ListBox(this), {kRight, 132, kRightWidth, 58});
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);
    m_files->setTextElideMode(Qt::ElideMiddle);
    m_files->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    nameAfterLabel(filesLabel, m_files);

    m_conflictsLabel = placeLabel(QString(), {kRight, 194, kRightWidth, 16});
    m_conflicts = place(new QScrollArea(this), {kRight, 210, kRightWidth, 40});
    m_conflicts->setWidgetResizable(true);
    m_conflicts->setFocusPolicy(Qt::NoFocus);
    auto* rows = new QWidget(m_conflicts);
    m_conflictRows = new QVBoxLayout(rows);
    m_conflictRows->setContentsMargins(4, 2, 4, 2);
    m_conflictRows->setSpacing(0);
    m_conflictRows->addStretch();
    m_conflicts->setWidget(rows);
    m_conflicts->setAccessibleName(QStringLiteral("Skins that differ from yours"));

    // What the pack claims otherwise, what was left out, what the install
    // does besides: it may run to several sentences, so it scrolls.
    m_notices = place(new QPlainTextEdit(this), {kRight, 254, kRightWidth, 46});
    m_notices->setReadOnly(true);
    m_notices->setTabChangesFocus(true);
    m_notices->setAccessibleName(QStringLiteral("Notices"));

    auto* cancel = new CPictureButton(QStringLiteral("Cancel"), this, QStringLiteral("CANCELSTEP"));
    cancel->setToolTip(QStringLiteral("Leave without installing anything."));
    auto* install = new CPictureButton(QStringLiteral("Install"), this);
    install->setToolTip(QStringLiteral("Install this date and the skins it wears into the game."));
    for (CPictureButton* button : {cancel, install}) button->loadBitmaps();
    connect(cancel, &QPushButton::clicked, this, &InstallPage::cancel);
    connect(install, &QPushButton::clicked, this, &InstallPage::installPressed);
    m_install = install;
    setMoveButtons({cancel, install});
    // The choices come and go with the date: they follow the list of files
    // (see chooseConflicts).
    setTabOrder({m_name, m_age, m_gender, m_description, m_files, m_notices});
}

int InstallPage::enter(int step) {
    if (!finishInterrupted(this, host().installFolder())) return wizard::kWelcomeStep;
    FileChoice choice;
    choice.title = sharedTextToQt(share::kOpenSharedDateTitle);
    choice.folder = QDir::homePath();
    choice.filter = sharedTextToQt(share::kSharedDateFilter);
    const QString archive = chooseFile(this, choice);
    if (archive.isEmpty() || !open(archive)) return wizard::kWelcomeStep;
    return step;
}

bool InstallPage::open(const QString& archive) {
    share::SharedDateOpening opening;
    {
        const WaitCursor wait;
        opening = share::openSharedDate(qtToFileName(archive));
    }
    if (!opening.date) {
        showMessage(this, gameTextToQt(exchange::kErrorCaption),
                    sharedTextToQt(share::refusedPackMessage(opening.problem)));
        return false;
    }
    m_shared = std::move(*opening.date);
    m_choices.clear();
    plan();
    showDate();
    return true;
}

void InstallPage::showDate() {
    const share::SharedDate& shared = *m_shared;
    m_name->setText(sharedTextToQt(share::sharedDateName(shared)));
    m_name->setCursorPosition(0);
    m_install->setAccessibleDescription(sharedTextToQt(wizard::installDescription(share::sharedDateName(shared))));
    m_age->setText(sharedTextToQt(share::sharedDateAge(shared)));
    m_gender->setText(sharedTextToQt(share::sharedDateGender(shared)));
    m_description->setPlainText(sharedTextToQt(share::sharedDateDescription(shared)));
    showSnapshot(m_body, shared.pack.bodySnapshot());
    showSnapshot(m_head, shared.pack.headSnapshot());
    m_lookBefore = host().look().keep();
    if (const std::optional<Character> look = share::shownLook(shared))
        host().livePreview().showHeldCharacter(std::make_shared<platform::HeldFiles>(share::heldSkins(shared.pack)), *look);
}

void InstallPage::plan() {
    const WaitCursor wait;
    m_plan = share::planInstall(*m_shared, host().installFolder(), share::optionsFor(m_choices));
    m_choices = share::conflictChoices(m_plan);
    showPlan();
}

void InstallPage::showPlan() {
    m_files->clear();
    const std::vector<std::string> lines = share::plannedFileLines(m_plan);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* item = new QListWidgetItem(sharedTextToQt(lines[i]), m_files);
        item->setToolTip(sharedTextToQt(m_plan.files[i].path));
    }
    QStringList notices;
    for (const std::string& notice : share::reviewNotices(*m_shared, m_plan)) notices << sharedTextToQt(notice);
    m_notices->setPlainText(notices.join(QLatin1Char('\n')));
    m_install->setEnabled(m_plan.ok());
    chooseConflicts();
}

// A check box for each skin that differs from the player's, ticked where
// the player chose to replace it; ticking one plans the install again.
void InstallPage::chooseConflicts() {
    if (m_choiceBoxes.size() != m_choices.size()) {
        // A box may be the one whose toggle got here: it goes once that is
        // handled.
        for (QCheckBox* box : m_choiceBoxes) {
            m_conflictRows->removeWidget(box);
            box->hide();
            box->deleteLater();
        }
        m_choiceBoxes.clear();
        for (std::size_t i = 0; i < m_choices.size(); ++i) {
            auto* box = new QCheckBox(m_conflicts->widget());
            m_conflictRows->insertWidget(static_cast<int>(i), box);
            box->show();  // now, not when the loop next runs
            connect(box, &QCheckBox::toggled, this, [this, i](bool replace) {
                platform::playClick();
                m_choices[i].replace = replace;
                plan();
            });
            m_choiceBoxes.push_back(box);
        }
        // In the page's order, after the list of files.
        QWidget* before = m_files;
        for (QCheckBox* box : m_choiceBoxes) {
            QWidget::setTabOrder(before, box);
            before = box;
        }
        QWidget::setTabOrder(before, m_notices);
    }
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        const QSignalBlocker block(m_choiceBoxes[i]);
        m_choiceBoxes[i]->setText(sharedTextToQt(share::replaceChoiceText(m_choices[i])));
        m_choiceBoxes[i]->setChecked(m_choices[i].replace);
    }
    m_conflictsLabel->setText(m_choices.empty() ? QStringLiteral("No skin differs from yours.")
                                                : QStringLiteral("Skins that differ from yours:"));
    m_conflicts->setVisible(!m_choices.empty());
}

bool InstallPage::leave() {
    if (!m_shared || !m_plan.ok()) return false;
    share::InstallOutcome outcome;
    {
        const WaitCursor wait;
        host().livePreview().hold(true);
        outcome = share::installSharedDate(*m_shared, m_plan);
        host().livePreview().hold(false);
    }
    QString message = sharedTextToQt(share::installOutcomeMessage(*m_shared, outcome));
    if (outcome.id) message += QStringLiteral("\n\n") + sharedTextToQt(share::kUndoableNote);
    if (!outcome.installed) {
        showMessage(this, gameTextToQt(exchange::kErrorCaption), message);
        plan();  // as the game folder is now
        return false;
    }
    // The preview wears the date from the game's folder from now on.
    std::vector<std::string> characterFiles;
    for (const share::PlannedFile& f : m_plan.files)
        if (f.kind == share::PackFileKind::CharacterFile &&
            (f.action == share::FileAction::Write || f.action == share::FileAction::Replace))
            characterFiles.push_back(f.path);
    host().livePreview().holdFiles(nullptr);
    host().livePreview().readNewCharacterFiles(characterFiles);
    showMessage(this, sharedTextToQt(share::kInstallCompleteCaption), message);
    m_shared.reset();
    return true;
}

// The preview lets the pack's files go and shows what it showed before.
void InstallPage::cancel() {
    host().livePreview().holdFiles(nullptr);
    host().look().restore(m_lookBefore);
    m_shared.reset();
    Q_EMIT cancelled();
}

}  // namespace tryster::app
