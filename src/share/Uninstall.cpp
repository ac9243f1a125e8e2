#include "share/Uninstall.h"

#include "platform/FileSystem.h"
#include "share/FileDigest.h"
#include "share/GameWrites.h"
#include "share/Journal.h"
#include "share/PackPath.h"
#include "share/ShownText.h"

#include <algorithm>

namespace tryster::share {
namespace {

struct Layer {
    std::size_t record;
    std::size_t file;
};

// Every record's entry for `path`, in install order: the layers of the file.
std::vector<Layer> layersOf(const Ledger& ledger, std::string_view path) {
    std::vector<Layer> out;
    const std::string key = caseKey(path);
    for (std::size_t r = 0; r < ledger.records.size(); ++r)
        for (std::size_t f = 0; f < ledger.records[r].files.size(); ++f)
            if (caseKey(ledger.records[r].files[f].path) == key) out.push_back({r, f});
    return out;
}

std::string namesOf(const Ledger& ledger) {
    std::string out;
    for (const LedgerRecord& r : ledger.records) out += (out.empty() ? "" : ", ") + r.date;
    return out.empty() ? std::string("none") : out;
}

bool referenced(const Ledger& ledger, std::string_view backup) {
    for (const LedgerRecord& r : ledger.records)
        for (const LedgerFile& f : r.files)
            if (f.role == LedgerRole::Replaced && caseKey(f.backup) == caseKey(backup)) return true;
    return false;
}

// What to do with one file of the record at `index`; hands the duty of
// taking the file back to the layer above it where there is one.
UninstallStep stepFor(std::string_view gameFolder, Ledger& after, std::size_t index, const LedgerFile& f,
                      std::vector<std::string>& obsolete) {
    UninstallStep step;
    step.path = f.path;
    step.sha256 = f.sha256;
    step.backup = f.backup;
    const std::vector<Layer> layers = layersOf(after, f.path);
    std::size_t at = 0;
    while (at < layers.size() && layers[at].record != index) ++at;

    if (at + 1 < layers.size()) {
        LedgerRecord& above = after.records[layers[at + 1].record];
        step.action = TakeBack::Stays;
        step.usedBy = above.date;
        if (f.role != LedgerRole::Shared) {
            // The layer above now rests on what lay under this one: it
            // restores this date's backup, or removes the file, in its turn.
            LedgerFile& heir = above.files[layers[at + 1].file];
            if (heir.role == LedgerRole::Replaced) obsolete.push_back(heir.backup);
            heir.role = f.role;
            heir.backup = f.backup;
            heir.replacedSha256 = f.replacedSha256;
        }
        return step;
    }
    if (f.role == LedgerRole::Shared) {
        step.action = TakeBack::Stays;
        if (at > 0) step.usedBy = after.records[layers[at - 1].record].date;
        return step;
    }
    const std::optional<std::string> current = fileDigest(localPath(gameFolder, f.path));
    if (f.role == LedgerRole::Added) {
        step.action = !current ? TakeBack::Gone : *current == f.sha256 ? TakeBack::Remove : TakeBack::KeepChanged;
        return step;
    }
    if (!platform::fileSystem().exists(localPath(gameFolder, f.backup)))
        // Already moved back by a run that was cut short, or lost.
        step.action = current && *current == f.replacedSha256 ? TakeBack::Gone : TakeBack::BackupMissing;
    else
        step.action = !current || *current == f.sha256 ? TakeBack::Restore : TakeBack::KeepChanged;
    return step;
}

class Uninstaller {
public:
    explicit Uninstaller(const UninstallPlan& plan) : plan_(plan), folder_(plan.gameFolder) {}

    UninstallOutcome run() {
        if (!plan_.ok()) {
            outcome_.problem = plan_.problem;
            return std::move(outcome_);
        }
        Journal journal;
        journal.operation = Journal::Operation::Uninstall;
        journal.record = plan_.record;
        journal.obsoleteBackups = plan_.obsoleteBackups;
        if (!writeJournal(folder_, journal)) {
            outcome_.problem = "nothing could be written in " + folder_ + " (is the disk full, or is it read-only?)";
            return std::move(outcome_);
        }
        LedgerRecord failed = plan_.record;
        failed.files.clear();
        for (const UninstallStep& step : plan_.steps)
            if (!take(step)) failed.files.push_back(*plan_.record.find(step.path));

        Ledger ledger = plan_.after;
        if (!failed.files.empty())
            ledger.records.insert(ledger.records.begin() +
                                      static_cast<std::ptrdiff_t>(std::min(plan_.recordIndex, ledger.records.size())),
                                  failed);
        if (!saveLedger(folder_, ledger)) {
            outcome_.problem = "could not write the record of installed dates; the uninstall is finished on the next run";
            outcome_.leftForRecovery = true;
            return std::move(outcome_);
        }
        for (const std::string& backup : plan_.obsoleteBackups)
            if (!referenced(ledger, backup)) (void)removeFile(localPath(folder_, backup));  // an old copy; harmless if left
        (void)removeJournal(folder_);  // the ledger has the result; a journal left is only removed next run
        outcome_.done = true;
        if (!failed.files.empty())
            outcome_.notes.push_back("the date stays listed with the files that could not be taken back; "
                                     "uninstall it again to try again");
        return std::move(outcome_);
    }

private:
    // False when the step failed and its entry stays in the ledger.
    bool take(const UninstallStep& step) {
        const std::string local = localPath(folder_, step.path);
        switch (step.action) {
        case TakeBack::Remove: {
            const std::optional<std::string> now = fileDigest(local);
            if (now && *now != step.sha256) return keptChanged(step);
            if (!removeFile(local)) {
                outcome_.notes.push_back("could not remove " + step.path);
                return false;
            }
            outcome_.removed.push_back(step.path);
            return true;
        }
        case TakeBack::Restore: {
            const std::optional<std::string> now = fileDigest(local);
            if (now && *now != step.sha256) return keptChanged(step);
            if (!moveOver(localPath(folder_, step.backup), local)) {
                outcome_.notes.push_back("could not restore " + step.path + "; the file it replaced is kept at " +
                                         step.backup);
                return false;
            }
            outcome_.restored.push_back(step.path);
            return true;
        }
        case TakeBack::Stays:
            if (!step.usedBy.empty())
                outcome_.notes.push_back(step.path + " stays: the date " + step.usedBy + " uses it");
            return true;
        case TakeBack::KeepChanged: return keptChanged(step);
        case TakeBack::Gone: return true;
        case TakeBack::BackupMissing:
            outcome_.notes.push_back(step.path + " is left as it is: the backup of the file it replaced (" +
                                     step.backup + ") is gone");
            return true;
        }
        return true;
    }

    bool keptChanged(const UninstallStep& step) {
        std::string note = step.path + " was changed after the install and is kept";
        if (!step.backup.empty()) note += "; the file it replaced is kept at " + step.backup;
        outcome_.notes.push_back(std::move(note));
        return true;
    }

    const UninstallPlan& plan_;
    std::string folder_;
    UninstallOutcome outcome_;
};

}  // namespace

UninstallPlan planUninstallRecord(std::string_view gameFolder, const Ledger& ledger, std::size_t index) {
    UninstallPlan plan;
    plan.gameFolder = gameFolder;
    plan.record = ledger.records[index];
    plan.recordIndex = index;
    plan.after = ledger;
    for (const LedgerFile& f : plan.record.files)
        plan.steps.push_back(stepFor(gameFolder, plan.after, index, f, plan.obsoleteBackups));
    plan.after.records.erase(plan.after.records.begin() + static_cast<std::ptrdiff_t>(index));
    return plan;
}

UninstallPlan planUninstall(std::string_view gameFolder, std::string_view name) {
    UninstallPlan plan;
    plan.gameFolder = gameFolder;
    // An empty name would match a record whose date has no name of its own.
    if (name.find_first_not_of(' ') == std::string_view::npos) {
        plan.problem = std::string(kNoDateNamed);
        return plan;
    }
    if (platform::fileSystem().exists(journalPath(gameFolder))) {
        plan.problem = "an earlier install or uninstall in " + plan.gameFolder +
                       " was interrupted and must be finished first";
        return plan;
    }
    LedgerReading reading = loadLedger(gameFolder);
    if (!reading.ledger) {
        plan.problem = reading.problem;
        return plan;
    }
    const Ledger& ledger = *reading.ledger;
    std::vector<std::size_t> matches;
    if (const LedgerRecord* r = ledger.find(name)) {
        matches.push_back(static_cast<std::size_t>(r - ledger.records.data()));
    } else {
        for (std::size_t i = 0; i < ledger.records.size(); ++i)
            if (ledger.records[i].name == name) matches.push_back(i);
    }
    if (matches.empty()) {
        plan.problem = "no shared date named " + quotedName(name) + " is installed (installed: " + namesOf(ledger) + ")";
        return plan;
    }
    if (matches.size() > 1) {
        plan.problem = "several installed dates are called " + quotedName(name) + "; give the date's file name (" +
                       namesOf(ledger) + ")";
        return plan;
    }
    return planUninstallRecord(gameFolder, ledger, matches.front());
}

UninstallOutcome uninstallSharedDate(const UninstallPlan& plan) { return Uninstaller(plan).run(); }

}  // namespace tryster::share
