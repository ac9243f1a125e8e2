#include "share/Recovery.h"

#include "platform/FileSystem.h"
#include "share/FileDigest.h"
#include "share/Forget.h"
#include "share/GameChange.h"
#include "share/GameWrites.h"
#include "share/HistoryView.h"
#include "share/Journal.h"
#include "share/Undo.h"

#include <algorithm>

namespace tryster::share {
namespace {

// Files of a damaged journal named in its message; the rest are counted.
constexpr std::size_t kListedInMeaning = 20;

// Whether `prefix` holds the first bytes of `whole`: a backup copy of a
// file, complete or cut short by a kill.
bool isCopyStart(const std::vector<std::uint8_t>& prefix, const std::vector<std::uint8_t>& whole) {
    return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

std::string pathIn(std::string_view gameFolder, std::string_view path) {
    return gameFolder.empty() ? std::string(path) : localPath(gameFolder, path);
}

// Undoes one file of a change; false when a step failed.
bool rollBackFile(std::string_view gameFolder, const ChangedFile& f, std::vector<std::string>& messages) {
    auto& files = platform::fileSystem();
    const std::string local = pathIn(gameFolder, f.path);
    bool ok = removeFile(local + std::string(kStagedSuffix));
    const std::optional<std::string> now = fileDigest(local);
    const std::string backup = f.backup.empty() ? std::string() : pathIn(gameFolder, f.backup);
    // A backup is written under a staged name first; one left there was cut short.
    if (!backup.empty()) ok = removeFile(backup + std::string(kStagedSuffix)) && ok;
    switch (f.role) {
    case FileRole::Added:
        if (now == f.sha256) ok = removeFile(local) && ok;
        break;
    case FileRole::Replaced:
    case FileRole::Removed: {
        if (!files.exists(backup)) break;
        // Moved into place (or, taken away, moved to its backup): the
        // backup goes back. Otherwise the backup was begun for a file that
        // is still there, and goes.
        const bool changed = f.role == FileRole::Replaced ? now == f.sha256 : !now;
        if (changed) {
            if (fileDigest(backup) == f.replacedSha256) {
                ok = moveOver(backup, local) && ok;
            } else {
                messages.push_back(f.path + " could not be restored: its backup " + f.backup + " is not whole");
                ok = false;
            }
        } else {
            const auto original = platform::readWholeFile(local);
            const auto copy = platform::readWholeFile(backup);
            if (original && copy && isCopyStart(*copy, *original)) ok = removeFile(backup) && ok;
        }
        break;
    }
    case FileRole::Shared:
    case FileRole::Restored: break;
    }
    if (!ok) messages.push_back(f.path + " could not be put back as it was");
    return ok;
}

// The journal of a version-1 uninstall names the date, not its steps: they
// are planned again, keeping any file changed since, as that version did.
bool asUndoOfInstall(const History& history, std::string_view gameFolder, Journal& journal) {
    const InstalledDate installed = findInstalledDate(history, journal.entry.date);
    if (!installed.entry) return false;
    const UndoPlan plan = planUndo(history, gameFolder, installed.entry->id, true);
    if (!plan.ok()) return false;
    journal.target = installed.entry->id;
    journal.steps = plan.steps;
    journal.entry.id = history.nextId;
    journal.entry.kind = ChangeKind::Undone;
    journal.entry.undoes = journal.target;
    journal.entry.files.clear();
    return true;
}

}  // namespace

bool rollBackChange(std::string_view gameFolder, const HistoryEntry& entry, std::vector<std::string>& messages) {
    bool ok = true;
    for (auto f = entry.files.rbegin(); f != entry.files.rend(); ++f) ok = rollBackFile(gameFolder, *f, messages) && ok;
    return ok;
}

std::string damagedJournalMeaning(const RecoveryOutcome& outcome) {
    std::string text = "the journal of an interrupted change (" + outcome.journalFile +
                       ") is damaged. It would tell what that run left to undo or finish; as it cannot be read, "
                       "nothing can be changed in the game folder until it is set aside";
    if (outcome.journalListing.empty()) return text + ". Nothing in it names a file";
    text += ". It names these files, which that run may have left changed: ";
    const std::size_t count = outcome.journalListing.size();
    for (std::size_t i = 0; i < count && i < kListedInMeaning; ++i) text += (i == 0 ? "" : ", ") + outcome.journalListing[i];
    if (count > kListedInMeaning) text += " and " + std::to_string(count - kListedInMeaning) + " more";
    return text;
}

RecoveryOutcome recoverInterrupted(std::string_view gameFolder) {
    const FolderHold hold = holdGameFolder(gameFolder);
    if (!hold.lock) {
        RecoveryOutcome out;
        out.clean = false;
        out.folderBusy = true;
        out.messages.push_back(hold.problem);
        return out;
    }
    return recoverHeld(gameFolder);
}

RecoveryOutcome recoverHeld(std::string_view gameFolder) {
    RecoveryOutcome out;
    // Staged copies of the history and the journal are whole only once
    // moved into place; one left here was cut short.
    for (const std::string& path : {historyPath(gameFolder), journalPath(gameFolder)})
        if (!removeFile(path + std::string(kStagedSuffix))) out.clean = false;

    JournalReading reading = readJournal(gameFolder);
    if (!reading.found) return out;
    if (!reading.journal) {
        out.clean = false;
        out.damagedJournal = true;
        out.journalFile = journalPath(gameFolder);
        out.journalListing = std::move(reading.listed);
        out.messages.push_back(reading.problem + "; nothing was changed");
        return out;
    }
    Journal& journal = *reading.journal;
    HistoryReading history = loadHistory(gameFolder);
    if (!history.history) {
        out.clean = false;
        out.messages.push_back(history.problem);
        return out;
    }
    const History& h = *history.history;
    const std::string what = changeTitle(h, journal.entry);

    switch (journal.operation) {
    case Journal::Operation::Stage:
        for (const ChangedFile& f : journal.entry.files)
            if (!removeFile(localPath(gameFolder, f.path) + std::string(kStagedSuffix))) out.clean = false;
        out.messages.push_back("a change (" + what + ") was interrupted before it reached the game; what it had "
                               "begun to write was cleared");
        break;
    case Journal::Operation::Change: {
        const bool recorded = journal.entry.id ? h.entry(journal.entry.id) != nullptr
                                               : findInstalledDate(h, journal.entry.date).entry != nullptr;
        if (recorded) break;
        if (!rollBackChange(gameFolder, journal.entry, out.messages)) {
            out.clean = false;
            return out;
        }
        out.messages.push_back("a change (" + what + ") was interrupted; it has been undone");
        break;
    }
    case Journal::Operation::Undo: {
        if (journal.entry.id && journal.target && h.entry(journal.entry.id)) break;
        if (!journal.target && !asUndoOfInstall(h, gameFolder, journal)) break;  // nothing left to take back
        const UndoOutcome done = finishUndo(gameFolder, h, journal);
        out.messages.push_back("an undo (" + what + ") was interrupted; " +
                               (done.done ? "it has been finished" : "it could not be finished yet"));
        out.clean = !done.leftForRecovery;
        return out;  // it removed its journal when it could
    }
    case Journal::Operation::Forget: {
        const HistoryEntry* entry = h.entry(journal.target);
        const ForgetOutcome done = finishForget(gameFolder, h, journal);
        if (entry && !entry->forgotten) out.messages.push_back("forgetting a change (" + what + ") was interrupted; it has been finished");
        out.clean = done.done;
        return out;
    }
    }
    if (!removeJournal(gameFolder)) out.clean = false;
    return out;
}

}  // namespace tryster::share
