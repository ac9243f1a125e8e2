#include "share/Recovery.h"

#include "platform/FileSystem.h"
#include "share/FileDigest.h"
#include "share/GameWrites.h"
#include "share/Journal.h"
#include "share/PackPath.h"
#include "share/Uninstall.h"

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

// Undoes one file of an install; false when a step failed.
bool rollBackFile(std::string_view gameFolder, const LedgerFile& f, std::vector<std::string>& messages) {
    auto& files = platform::fileSystem();
    const std::string local = localPath(gameFolder, f.path);
    bool ok = removeFile(local + std::string(kStagedSuffix));
    const std::optional<std::string> now = fileDigest(local);
    const bool moved = now && *now == f.sha256;
    switch (f.role) {
    case LedgerRole::Added:
        if (moved) ok = removeFile(local) && ok;
        break;
    case LedgerRole::Replaced: {
        const std::string backup = localPath(gameFolder, f.backup);
        if (!files.exists(backup)) break;
        if (moved) {
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
    case LedgerRole::Shared: break;
    }
    if (!ok) messages.push_back(f.path + " could not be put back as it was");
    return ok;
}

}  // namespace

bool rollBackInstall(std::string_view gameFolder, const LedgerRecord& record, std::vector<std::string>& messages) {
    bool ok = true;
    for (auto f = record.files.rbegin(); f != record.files.rend(); ++f) ok = rollBackFile(gameFolder, *f, messages) && ok;
    return ok;
}

std::string damagedJournalMeaning(const RecoveryOutcome& outcome) {
    std::string text = "the journal of an interrupted install or uninstall (" + outcome.journalFile +
                       ") is damaged. It would tell what that run left to undo or finish; as it cannot be read, no "
                       "date can be installed or uninstalled until it is set aside";
    if (outcome.journalListing.empty()) return text + ". Nothing in it names a file";
    text += ". It names these files, which that run may have left changed: ";
    const std::size_t count = outcome.journalListing.size();
    for (std::size_t i = 0; i < count && i < kListedInMeaning; ++i) text += (i == 0 ? "" : ", ") + outcome.journalListing[i];
    if (count > kListedInMeaning) text += " and " + std::to_string(count - kListedInMeaning) + " more";
    return text;
}

RecoveryOutcome recoverInterrupted(std::string_view gameFolder) {
    RecoveryOutcome out;
    // Staged copies of the ledger and the journal are whole only once moved
    // into place; one left here was cut short.
    for (const std::string& path : {ledgerPath(gameFolder), journalPath(gameFolder)})
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
    const Journal& journal = *reading.journal;
    LedgerReading ledger = loadLedger(gameFolder);
    if (!ledger.ledger) {
        out.clean = false;
        out.messages.push_back(ledger.problem);
        return out;
    }
    const LedgerRecord* listed = ledger.ledger->find(journal.record.date);

    if (journal.operation == Journal::Operation::Install) {
        if (!listed) {
            if (!rollBackInstall(gameFolder, journal.record, out.messages)) {
                out.clean = false;
                return out;
            }
            out.messages.push_back("an install of the date " + journal.record.date +
                                   " was interrupted; it has been undone");
        }
    } else if (listed) {
        const auto index = static_cast<std::size_t>(listed - ledger.ledger->records.data());
        UninstallOutcome done = uninstallSharedDate(planUninstallRecord(gameFolder, *ledger.ledger, index));
        out.messages.push_back("an uninstall of the date " + journal.record.date + " was interrupted; " +
                               (done.done ? "it has been finished" : "it could not be finished yet"));
        out.clean = done.done;
        return out;  // the uninstall removed its journal when it could
    } else {
        for (const std::string& backup : journal.obsoleteBackups) {
            bool needed = false;
            for (const LedgerRecord& r : ledger.ledger->records)
                for (const LedgerFile& f : r.files) needed = needed || caseKey(f.backup) == caseKey(backup);
            if (!needed) (void)removeFile(localPath(gameFolder, backup));  // an old copy; harmless if left
        }
    }
    if (!removeJournal(gameFolder)) out.clean = false;
    return out;
}

}  // namespace tryster::share
