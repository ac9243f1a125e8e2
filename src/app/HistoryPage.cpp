#include "app/HistoryPage.h"

#include "app/CPictureButton.h"
#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/FolderRecovery.h"
#include "app/ListBox.h"
#include "app/LivePreview.h"
#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "exchange/ExchangeTexts.h"
#include "platform/Sound.h"
#include "preview/LookModel.h"
#include "share/HistoryView.h"
#include "share/ShareOffer.h"
#include "wizard/Announcements.h"
#include "wizard/StepTable.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

#include <optional>

namespace tryster::app {
namespace {

QString shared(std::string_view text) { return sharedTextToQt(text); }

}  // namespace

HistoryPage::HistoryPage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* listLabel = placeLabel(QStringLiteral("Changes, newest first:"), {16, 6, 414, 16});
    m_list = place(new ListBox(this), {16, 22, 414, 134});
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setTextElideMode(Qt::ElideRight);
    nameAfterLabel(listLabel, m_list);
    auto* filesLabel = placeLabel(QStringLiteral("Files of this change:"), {16, 160, 414, 16});
    m_files = place(new ListBox(this), {16, 176, 414, 84});
    m_files->setSelectionMode(QAbstractItemView::SingleSelection);
    m_files->setTextElideMode(Qt::ElideMiddle);
    // A long line is shortened where it is cut, as the other lists do, and
    // read whole by a screen reader; a scroll bar would hide a row.
    for (QListWidget* list : {m_list, m_files}) list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    nameAfterLabel(filesLabel, m_files);
    m_space = placeLabel(QString(), {16, 266, 310, 30});
    m_space->setWordWrap(true);
    m_space->setAccessibleName(QStringLiteral("Backup space"));

    auto* forget = place(new CPictureButton(QStringLiteral("Forget"), this), {340, 266, 90, 30});
    forget->setToolTip(QStringLiteral("Keep the game as it is and delete the backups only this change needed."));
    auto* undo = new CPictureButton(QStringLiteral("Undo"), this);
    undo->setToolTip(QStringLiteral("Put back what this change found."));
    for (CPictureButton* button : {forget, undo}) button->loadBitmaps();
    m_undo = undo;
    m_forget = forget;
    connect(undo, &QPushButton::clicked, this, &HistoryPage::undo);
    connect(forget, &QPushButton::clicked, this, &HistoryPage::forget);
    // Every change of selection is the player's (the program's own are
    // blocked), by mouse, keyboard or an assistive tool.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        platform::playClick();
        showSelected();
    });
    setMoveButtons({nullptr, undo});
    setTabOrder({m_list, m_files, forget});
}

int HistoryPage::enter(int step) {
    if (!finishInterrupted(this, host().installFolder())) return wizard::kWelcomeStep;
    reload(0);
    return step;
}

void HistoryPage::reload(std::int64_t id) {
    {
        const WaitCursor wait;
        share::HistoryReading reading = share::loadHistory(host().installFolder());
        if (!reading.history) showMessage(this, gameTextToQt(exchange::kErrorCaption), shared(share::asSentence(reading.problem)));
        m_history = reading.history ? std::move(*reading.history) : share::History{};
    }
    const QSignalBlocker block(m_list);
    m_list->clear();
    int row = 0;
    for (auto e = m_history.entries.rbegin(); e != m_history.entries.rend(); ++e) {
        auto* item = new QListWidgetItem(shared(share::entryLine(m_history, *e)), m_list);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(e->id));
        if (e->id == id) row = m_list->count() - 1;
    }
    m_space->setText(m_history.entries.empty()
                         ? QStringLiteral("Tryster has not changed this game folder yet.")
                         : shared(share::backupSpaceText(share::backupBytes(host().installFolder(), m_history))));
    if (m_list->count() > 0) m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    showSelected();
}

const share::HistoryEntry* HistoryPage::selected() const {
    const QList<QListWidgetItem*> items = m_list->selectedItems();
    return items.isEmpty() ? nullptr : m_history.entry(items.front()->data(Qt::UserRole).toLongLong());
}

// The files, the buttons that apply, and the character where its file is
// still there.
void HistoryPage::showSelected() {
    m_files->clear();
    const share::HistoryEntry* entry = selected();
    const std::string& game = host().installFolder();
    m_undo->setEnabled(entry && entry->undoable());
    m_forget->setEnabled(entry && share::planForget(m_history, game, entry->id).ok());
    const std::string title = entry ? share::changeTitle(m_history, *entry) : std::string();
    m_undo->setAccessibleDescription(shared(wizard::undoDescription(title)));
    m_forget->setAccessibleDescription(shared(wizard::forgetDescription(title)));
    std::string character;
    if (entry) {
        for (const share::ChangedFile& f : entry->files) m_files->addItem(shared(share::fileLine(f)));
        character = share::characterFileOf(game, *entry);
    }
    const exchange::CharacterReading reading =
        character.empty() ? exchange::CharacterReading{} : host().livePreview().showCharacterFile(character);
    // A change with no character to show leaves no other change's name in
    // the title.
    host().setProgressTitle(reading.opened ? gameTextToQt(reading.name)
                                           : gameTextToQt(*wizard::stepOf(wizard::kHistoryStep).title));
}

void HistoryPage::undo() {
    platform::playClick();
    const share::HistoryEntry* entry = selected();
    const std::string& game = host().installFolder();
    if (!entry || !finishInterrupted(this, game)) return;
    const std::int64_t id = entry->id;
    const QString inquiry = gameTextToQt(exchange::kInquiryCaption);
    const share::UndoPlan plan = share::planUndo(m_history, game, id, false);
    // Newest first: the later changes in the way, then this one.
    std::vector<std::int64_t> order = plan.laterChanges;
    order.push_back(id);
    bool keepCurrent = false;
    std::optional<share::UndoPlan> agreed;  // a single undo, as the player saw it
    if (!plan.laterChanges.empty()) {
        if (!askOkCancel(this, inquiry, shared(share::chainQuestion(m_history, plan)))) return;
    } else if (plan.ok()) {
        if (!askOkCancel(this, inquiry, shared(share::undoQuestion(m_history, plan)))) return;
        agreed = plan;
    } else {
        // Files changed since stand in the way: offered with each kept.
        const share::UndoPlan keeping = share::planUndo(m_history, game, id, true);
        if (plan.changedFiles.empty() || !keeping.ok()) {
            showMessage(this, gameTextToQt(exchange::kErrorCaption), shared(share::asSentence(plan.problem)));
            return;
        }
        const std::string question = share::keepCurrentQuestion(plan) + "\n\n" + share::undoQuestion(m_history, keeping);
        if (!askOkCancel(this, inquiry, shared(question))) return;
        keepCurrent = true;
        agreed = keeping;
    }
    QStringList messages;
    bool done = true;
    std::int64_t last = id;
    {
        const WaitCursor wait;
        host().livePreview().hold(true);
        for (std::int64_t next : order) {
            const share::UndoOutcome outcome =
                share::undoChange(game, next, keepCurrent, next == id && agreed ? &*agreed : nullptr);
            if (order.size() > 1) messages << shared("Change " + std::to_string(next) + ":");
            messages << shared(share::undoOutcomeMessage(outcome));
            if (outcome.undoId) last = outcome.undoId;
            done = outcome.done;
            if (!done) break;
        }
        host().livePreview().hold(false);
    }
    // Skins may have come or gone: the look's lists follow the folder.
    host().look().rescan();
    showMessage(this, done ? shared(share::kUndoCompleteCaption) : gameTextToQt(exchange::kErrorCaption),
                messages.join(QStringLiteral("\n\n")));
    reload(last);
}

void HistoryPage::forget() {
    platform::playClick();
    const share::HistoryEntry* entry = selected();
    const std::string& game = host().installFolder();
    if (!entry || !finishInterrupted(this, game)) return;
    const share::ForgetPlan plan = share::planForget(m_history, game, entry->id);
    if (!plan.ok()) {
        showMessage(this, gameTextToQt(exchange::kErrorCaption), shared(share::asSentence(plan.problem)));
        return;
    }
    if (!askOkCancel(this, gameTextToQt(exchange::kInquiryCaption), shared(share::forgetQuestion(m_history, plan))))
        return;
    share::ForgetOutcome outcome;
    {
        const WaitCursor wait;
        outcome = share::forgetChange(game, entry->id, &plan);
    }
    showMessage(this, outcome.done ? shared(share::kForgetCompleteCaption) : gameTextToQt(exchange::kErrorCaption),
                shared(share::forgetOutcomeMessage(outcome)));
    reload(plan.entry.id);
}

}  // namespace tryster::app
