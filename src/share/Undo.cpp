#include "share/Undo.h"

#include "exchange/FileBackup.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "share/FileDigest.h"
#include "share/GameChange.h"
#include "share/GameWrites.h"
#include "share/HistoryView.h"
#include "share/PackPath.h"
#include "share/Recovery.h"

#include <algorithm>
#include <set>

namespace tryster::share {
namespace {

constexpr int kMaxBackupNumber = 9999;

// The later changes not taken back that touch `path`, oldest first.
std::vector<std::pair<const HistoryEntry*, const ChangedFile*>> laterLayers(const History& history,
                                                                           const HistoryEntry& entry,
                                                                           std::string_view path) {
    std::vector<std::pair<const HistoryEntry*, const ChangedFile*>> out;
    for (const HistoryEntry& e : history.entries)
        if (e.id > entry.id && e.undoable())
            if (const ChangedFile* f = e.find(path)) out.emplace_back(&e, f);
    return out;
}

// The first later change that changed a file of `entry` it did not merely
// rely on, for each file whose next layer does not rely on it; those must
// be undone first.
std::set<std::int64_t> laterWriters(const History& history, const HistoryEntry& entry) {
    std::set<std::int64_t> out;
    for (const ChangedFile& f : entry.files) {
        if (f.role == FileRole::Shared) continue;
        const auto layers = laterLayers(history, entry, f.path);
        if (layers.empty() || layers.front().second->role == FileRole::Shared) continue;
        out.insert(layers.front().first->id);
    }
    return out;
}

// Who changed `path` after `entry`, where no change not taken back did:
// the last later change that was forgotten, else the player.
std::string changedBy(const History& history, const HistoryEntry& entry, std::string_view path) {
    const HistoryEntry* by = nullptr;
    for (const HistoryEntry& e : history.entries)
        if (e.id > entry.id && e.forgotten && e.find(path)) by = &e;
    if (!by) return std::string(path) + " was changed outside Tryster since this change";
    return std::string(path) + " was changed by " + changeNamed(history, *by) + ", which was forgotten";
}

// Whether `path` holds bytes of digest `sha256` (none: no file).
bool holds(std::string_view local, std::string_view sha256) {
    const std::optional<std::string> now = fileDigest(local);
    return sha256.empty() ? !platform::fileSystem().exists(local) : now == sha256;
}

// One step, as far as it is not done yet; false when it cannot be done.
bool runStep(std::string_view folder, const UndoStep& step, UndoOutcome& out) {
    const std::string local = localPath(folder, step.path);
    if (!step.keptAs.empty()) {
        const std::string kept = localPath(folder, step.keptAs);
        if (!platform::fileSystem().exists(kept) && holds(local, step.found) && !step.found.empty()) {
            // A file that goes anyway is moved; one that is put back over
            // is copied, so the game never finds it missing.
            const std::optional<std::vector<std::uint8_t>> bytes =
                step.action == UndoAction::Remove ? std::nullopt : platform::readWholeFile(local);
            const bool keptNow = step.action == UndoAction::Remove ? moveOver(local, kept)
                                                                   : bytes && writeNewFile(kept, *bytes);
            if (!keptNow) {
                out.notes.push_back("could not keep " + step.path + " as " + step.keptAs + "; it is as it was");
                return false;
            }
        }
        if (fileDigest(kept) == step.found) out.kept.push_back(step.keptAs);
    }
    switch (step.action) {
    case UndoAction::Remove:
        if (!platform::fileSystem().exists(local)) break;
        if (!step.keptAs.empty() || !holds(local, step.found) || !removeFile(local)) {
            out.notes.push_back("could not remove " + step.path + "; it is kept as it is");
            return false;
        }
        break;
    case UndoAction::Restore: {
        const std::string backup = localPath(folder, step.backup);
        if (!platform::fileSystem().exists(backup)) {
            if (holds(local, step.backupSha256)) break;  // moved back already
            out.notes.push_back("could not restore " + step.path + ": its backup " + step.backup + " is gone");
            return false;
        }
        if (fileDigest(backup) != step.backupSha256 || !holds(local, step.found) || !moveOver(backup, local)) {
            out.notes.push_back("could not restore " + step.path + "; the file it replaced is kept at " + step.backup);
            return false;
        }
        break;
    }
    case UndoAction::Stays:
    case UndoAction::Gone: return true;
    }
    (step.action == UndoAction::Remove ? out.removed : out.restored).push_back(step.path);
    return true;
}

// A free backup name for the file found at `path`, none of `taken`.
std::string freeBackup(const History& history, std::string_view folder, std::string_view path,
                       const std::vector<UndoStep>& taken) {
    for (int n = 1; n <= kMaxBackupNumber; ++n) {
        const std::string candidate = exchange::backupPath(path, n);
        const bool planned = std::any_of(taken.begin(), taken.end(),
                                         [&](const UndoStep& s) { return caseKey(s.keptAs) == caseKey(candidate); });
        if (!planned && !history.keepsBackup(candidate) && !platform::fileSystem().exists(localPath(folder, candidate)))
            return candidate;
    }
    return {};
}

}  // namespace

UndoPlan planUndo(const History& history, std::string_view gameFolder, std::int64_t id, bool keepCurrent) {
    UndoPlan plan;
    plan.gameFolder = gameFolder;
    plan.keepCurrent = keepCurrent;
    const HistoryEntry* entry = plannedChange(history, gameFolder, id, plan.problem);
    if (!entry) return plan;
    plan.entry = *entry;
    const std::string title = changeNamed(history, *entry);
    if (entry->kind == ChangeKind::Undone) plan.problem = title + " is itself an undo";
    else if (entry->undoneBy) plan.problem = title + " was undone by the change " + std::to_string(entry->undoneBy);
    else if (entry->forgotten) plan.problem = title + " was forgotten: its backups are gone";
    if (!plan.ok()) return plan;

    // The later changes to undo first, and theirs in turn.
    std::set<std::int64_t> later = laterWriters(history, *entry);
    for (std::vector<std::int64_t> todo(later.begin(), later.end()); !todo.empty();) {
        const std::int64_t next = todo.back();
        todo.pop_back();
        for (std::int64_t w : laterWriters(history, *history.entry(next)))
            if (later.insert(w).second) todo.push_back(w);
    }
    plan.laterChanges.assign(later.rbegin(), later.rend());
    if (!later.empty()) {
        const HistoryEntry& first = *history.entry(*laterWriters(history, *entry).begin());
        std::string file;
        for (const ChangedFile& f : entry->files)
            if (first.find(f.path) && f.role != FileRole::Shared) file = f.path;
        plan.problem = changeNamed(history, first) + " changed " + file + " after " + title +
                       ": undo the later changes first, newest first";
        return plan;
    }

    std::vector<std::string> refusals;
    for (const ChangedFile& f : entry->files) {
        UndoStep step;
        step.path = f.path;
        const auto layers = laterLayers(history, *entry, f.path);
        if (f.role == FileRole::Shared || !layers.empty()) {
            step.action = UndoAction::Stays;  // relied on, or relied on by the next layer
            if (f.role != FileRole::Shared) step.heir = layers.front().first->id;
            plan.steps.push_back(step);
            continue;
        }
        const std::string local = localPath(gameFolder, f.path);
        const std::optional<std::string> now = fileDigest(local);
        step.found = now.value_or("");
        bool changed = false;
        if (f.role == FileRole::Added) {
            step.action = !now ? UndoAction::Gone : UndoAction::Remove;
            changed = now && *now != f.sha256;
        } else {
            step.action = UndoAction::Restore;
            step.backup = f.backup;
            step.backupSha256 = f.replacedSha256;
            const std::string backup = localPath(gameFolder, f.backup);
            if (!platform::fileSystem().exists(backup)) {
                if (now == f.replacedSha256) step.action = UndoAction::Gone;
                else refusals.push_back("the backup " + f.backup + " of " + f.path + " is gone, so " + f.path +
                                        " cannot be put back as it was");
            } else if (fileDigest(backup) != f.replacedSha256) {
                refusals.push_back("the backup " + f.backup + " of " + f.path + " has changed since it was kept");
            }
            changed = now && (f.role == FileRole::Removed || *now != f.sha256) && step.action != UndoAction::Gone;
        }
        if (changed) {
            plan.changedFiles.push_back(f.path);
            if (keepCurrent) step.keptAs = freeBackup(history, gameFolder, f.path, plan.steps);
            else refusals.push_back(changedBy(history, *entry, f.path));
        }
        plan.steps.push_back(step);
    }
    for (const std::string& r : refusals) plan.problem += (plan.problem.empty() ? "" : "; ") + r;
    return plan;
}

UndoOutcome finishUndo(std::string_view gameFolder, History history, const Journal& journal) {
    UndoOutcome out;
    HistoryEntry undo = journal.entry;
    HistoryEntry* target = history.entry(journal.target);
    std::vector<ChangedFile> failed;
    for (const UndoStep& step : journal.steps) {
        const ChangedFile* original = target ? target->find(step.path) : nullptr;
        if (!runStep(gameFolder, step, out)) {
            if (original) failed.push_back(*original);
            continue;
        }
        if (step.action == UndoAction::Stays && step.heir && original && original->role != FileRole::Shared) {
            // The next layer rested on this change's file: it takes over
            // the duty of putting back what lay under it.
            HistoryEntry* heir = history.entry(step.heir);
            if (ChangedFile* f = heir ? heir->find(step.path) : nullptr) {
                f->role = original->role;
                f->backup = original->backup;
                f->replacedSha256 = original->replacedSha256;
                out.notes.push_back(step.path + " stays: " + changeNamed(history, *heir) + " relies on it");
            }
        }
        if (step.action != UndoAction::Remove && step.action != UndoAction::Restore) continue;
        ChangedFile record;
        record.path = step.path;
        record.role = step.action == UndoAction::Remove ? FileRole::Removed : FileRole::Restored;
        record.sha256 = step.action == UndoAction::Remove ? step.found : step.backupSha256;
        if (!step.keptAs.empty()) {
            record.backup = step.keptAs;
            record.replacedSha256 = step.found;
        }
        undo.files.push_back(record);
    }
    out.done = failed.empty();
    if (target) {
        if (out.done) target->undoneBy = undo.id;
        else target->files = failed;
    }
    if (out.done || !undo.files.empty()) {
        history.entries.push_back(undo);
        out.undoId = undo.id;
    }
    history.nextId = std::max(history.nextId, undo.id + 1);
    if (!saveHistory(gameFolder, history)) {
        out.problem = "could not write the history of changes; the undo is finished on the next run";
        out.leftForRecovery = true;
        out.undoId = 0;
        return out;
    }
    (void)removeJournal(gameFolder);  // the history has the result; a journal left is only removed next run
    if (!out.done)
        out.notes.push_back("the change stays in the history with the files that could not be taken back; undo it "
                            "again to try again");
    return out;
}

UndoOutcome undoChange(std::string_view gameFolder, std::int64_t id, bool keepCurrent, const UndoPlan* agreed) {
    UndoOutcome out;
    const FolderHold hold = holdGameFolder(gameFolder);
    if (!hold.lock) {
        out.problem = hold.problem;
        return out;
    }
    const RecoveryOutcome recovery = recoverHeld(gameFolder);
    out.notes = recovery.messages;
    HistoryReading reading = loadHistory(gameFolder);
    if (!recovery.clean || !reading.history) {
        out.problem = !recovery.clean ? (recovery.damagedJournal ? damagedJournalMeaning(recovery)
                                                                 : "an interrupted change could not be finished")
                                      : reading.problem;
        return out;
    }
    const UndoPlan plan = planUndo(*reading.history, gameFolder, id, keepCurrent);
    const auto sameSteps = [](const UndoStep& a, const UndoStep& b) {
        return a.path == b.path && a.action == b.action && a.found == b.found && a.keptAs == b.keptAs;
    };
    if (plan.ok() && agreed &&
        !std::equal(plan.steps.begin(), plan.steps.end(), agreed->steps.begin(), agreed->steps.end(), sameSteps))
        out.problem = "the game folder changed since the undo was planned; look at the change again";
    else if (!plan.ok())
        out.problem = plan.problem;
    if (!out.problem.empty()) return out;

    Journal journal;
    journal.operation = Journal::Operation::Undo;
    journal.target = id;
    journal.steps = plan.steps;
    journal.entry.id = reading.history->nextId;
    journal.entry.kind = ChangeKind::Undone;
    journal.entry.undoes = id;
    journal.entry.name = plan.entry.name;
    journal.entry.time = platform::utcTimeText(platform::calendarSeconds());
    if (!writeJournal(gameFolder, journal)) {
        out.problem = "nothing could be written in " + std::string(gameFolder) + " (is the disk full, or is it read-only?)";
        return out;
    }
    UndoOutcome done = finishUndo(gameFolder, std::move(*reading.history), journal);
    done.notes.insert(done.notes.begin(), out.notes.begin(), out.notes.end());
    return done;
}

}  // namespace tryster::share
