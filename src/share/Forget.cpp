#include "share/Forget.h"

#include "platform/FileSystem.h"
#include "share/GameChange.h"
#include "share/GameWrites.h"
#include "share/HistoryView.h"
#include "share/PackPath.h"
#include "share/Recovery.h"

#include <algorithm>

namespace tryster::share {

ForgetPlan planForget(const History& history, std::string_view gameFolder, std::int64_t id) {
    ForgetPlan plan;
    plan.gameFolder = gameFolder;
    const HistoryEntry* entry = plannedChange(history, gameFolder, id, plan.problem);
    if (!entry) return plan;
    plan.entry = *entry;
    const std::string title = changeNamed(history, *entry);
    auto& files = platform::fileSystem();
    // Another change may have taken a backup over (an installed date that
    // relied on the file): it needs it still.
    History others = history;
    others.entry(id)->forgotten = true;
    for (const ChangedFile& f : entry->files) {
        if (f.backup.empty() || !files.exists(localPath(gameFolder, f.backup))) continue;
        if (others.keepsBackup(f.backup)) continue;
        plan.backups.push_back(f.backup);
        plan.bytes += files.fileSize(localPath(gameFolder, f.backup)).value_or(0);
    }
    if (entry->forgotten) plan.problem = title + " is forgotten already";
    else if (!entry->undoable() && plan.backups.empty()) plan.problem = title + " keeps no backup to forget";
    return plan;
}

ForgetOutcome finishForget(std::string_view gameFolder, History history, const Journal& journal) {
    ForgetOutcome out;
    if (HistoryEntry* entry = history.entry(journal.target)) entry->forgotten = true;
    if (!saveHistory(gameFolder, history)) {
        out.problem = "could not write the history of changes (is the disk full?); nothing was deleted";
        out.leftForRecovery = true;
        return out;
    }
    for (const std::string& backup : journal.obsoleteBackups) {
        if (history.keepsBackup(backup)) continue;  // another change took it over meanwhile
        const std::string local = localPath(gameFolder, backup);
        const std::uint64_t size = platform::fileSystem().fileSize(local).value_or(0);
        if (!removeFile(local)) {
            out.problem = "could not delete " + backup;
            out.leftForRecovery = true;
            return out;
        }
        out.deleted.push_back(backup);
        out.bytes += size;
    }
    (void)removeJournal(gameFolder);  // the history has the result; a journal left is only removed next run
    out.done = true;
    return out;
}

ForgetOutcome forgetChange(std::string_view gameFolder, std::int64_t id, const ForgetPlan* agreed) {
    ForgetOutcome out;
    const FolderHold hold = holdGameFolder(gameFolder);
    if (!hold.lock) {
        out.problem = hold.problem;
        return out;
    }
    const RecoveryOutcome recovery = recoverHeld(gameFolder);
    HistoryReading reading = loadHistory(gameFolder);
    if (!recovery.clean || !reading.history) {
        out.problem = !recovery.clean ? (recovery.damagedJournal ? damagedJournalMeaning(recovery)
                                                                 : "an interrupted change could not be finished")
                                      : reading.problem;
        return out;
    }
    const ForgetPlan plan = planForget(*reading.history, gameFolder, id);
    if (!plan.ok()) {
        out.problem = plan.problem;
        return out;
    }
    if (agreed && agreed->backups != plan.backups) {
        out.problem = "the game folder changed since the forget was planned; look at the change again";
        return out;
    }
    Journal journal;
    journal.operation = Journal::Operation::Forget;
    journal.target = id;
    journal.entry = plan.entry;
    journal.obsoleteBackups = plan.backups;
    if (!writeJournal(gameFolder, journal)) {
        out.problem = "nothing could be written in " + std::string(gameFolder) + " (is the disk full, or is it read-only?)";
        return out;
    }
    return finishForget(gameFolder, std::move(*reading.history), journal);
}

std::uint64_t backupBytes(std::string_view gameFolder, const HistoryEntry& entry) {
    std::uint64_t total = 0;
    if (entry.forgotten) return total;
    for (const ChangedFile& f : entry.files)
        if (!f.backup.empty()) total += platform::fileSystem().fileSize(localPath(gameFolder, f.backup)).value_or(0);
    return total;
}

std::uint64_t backupBytes(std::string_view gameFolder, const History& history) {
    std::uint64_t total = 0;
    for (const HistoryEntry& e : history.entries) total += backupBytes(gameFolder, e);
    return total;
}

}  // namespace tryster::share
