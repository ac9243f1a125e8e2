#include "share/Installer.h"

#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "share/FileDigest.h"
#include "share/GameWrites.h"
#include "share/Journal.h"
#include "share/Recovery.h"
#include "formats/Sha256.h"

namespace tryster::share {
namespace {

bool writes(FileAction action) { return action == FileAction::Write || action == FileAction::Replace; }

std::span<const std::uint8_t> bytesFor(const SharedDate& shared, const InstallPlan& plan, const PlannedFile& p) {
    if (p.kind == PackFileKind::Date) return plan.dateBytes;
    const PackFile* f = shared.pack.find(p.path);
    return f ? std::span<const std::uint8_t>(f->bytes) : std::span<const std::uint8_t>();
}

class Install {
public:
    Install(const SharedDate& shared, const InstallPlan& plan)
        : shared_(shared), plan_(plan), folder_(plan.gameFolder), record_(recordOf(shared, plan)) {}

    InstallOutcome run() {
        if (!plan_.ok()) return fail(plan_.problem);
        Journal journal;
        journal.record = record_;
        if (!writeJournal(folder_, journal))
            return fail("nothing could be written in " + folder_ + " (is the disk full, or is it read-only?)");
        if (stage() && keepBackups() && moveIntoPlace() && commit()) {
            outcome_.installed = true;
            (void)removeJournal(folder_);  // the ledger has the record; one left is the next run's to remove
            return std::move(outcome_);
        }
        return undo();
    }

private:
    InstallOutcome fail(std::string problem) {
        outcome_.problem = std::move(problem);
        return std::move(outcome_);
    }

    bool failStep(std::string problem) {
        outcome_.problem = std::move(problem);
        return false;
    }

    bool stage() {
        for (const PlannedFile& p : plan_.files) {
            if (!writes(p.action)) continue;
            staged_.emplace_back(localPath(folder_, p.path));
            if (!writeStaged(staged_.back(), bytesFor(shared_, plan_, p)))
                return failStep("could not write " + p.path + " (is the disk full?)");
        }
        return true;
    }

    // Each backup is the file as planned: one changed since is not
    // replaced unseen.
    bool keepBackups() {
        for (const PlannedFile& p : plan_.files) {
            if (p.action != FileAction::Replace) continue;
            const std::string local = localPath(folder_, p.path);
            const std::optional<std::vector<std::uint8_t>> bytes = platform::readWholeFile(local);
            if (!bytes || formats::sha256Hex(*bytes) != p.existingSha256)
                return failStep(p.path + " changed while the install was being prepared");
            if (!writeNewFile(localPath(folder_, p.backup), *bytes))
                return failStep("could not keep a backup of " + p.path + " (is the disk full?)");
            outcome_.backups.push_back(p.backup);
        }
        return true;
    }

    // All synced before the first goes into place, skins first and the
    // date last, then each folder synced. A failure leaves some in place:
    // the undo takes them back.
    bool moveIntoPlace() {
        if (!platform::commitTogether(staged_)) return failStep("could not move the date's files into place");
        for (const PlannedFile& p : plan_.files)
            if (writes(p.action)) outcome_.written.push_back(p.path);
        return true;
    }

    bool commit() {
        Ledger ledger = plan_.ledger;
        ledger.records.push_back(record_);
        return saveLedger(folder_, ledger) ||
               failStep("could not write the record of installed dates (is the disk full?)");
    }

    InstallOutcome undo() {
        std::vector<std::string> messages;
        if (rollBackInstall(folder_, record_, messages) && removeJournal(folder_)) {
            outcome_.problem += "; nothing was installed";
        } else {
            outcome_.leftForRecovery = true;
            outcome_.problem += "; what was done could not all be undone now, and will be on the next run";
        }
        outcome_.written.clear();
        outcome_.backups.clear();
        return std::move(outcome_);
    }

    const SharedDate& shared_;
    const InstallPlan& plan_;
    std::string folder_;
    LedgerRecord record_;
    std::vector<platform::StagedFile> staged_;  // in the plan's order
    InstallOutcome outcome_;
};

}  // namespace

LedgerRecord recordOf(const SharedDate& shared, const InstallPlan& plan) {
    LedgerRecord record;
    record.date = plan.dateName;
    // The date's own name, as the review showed it; the archive's name may
    // be bytes of another system, kept readable.
    record.name = platform::fromGameText(shared.facts.reading.name);
    record.pack = platform::escapedUtf8(platform::namePart(shared.archivePath));
    for (const PlannedFile& p : plan.files) {
        LedgerFile f;
        f.path = p.path;
        f.sha256 = p.sha256;
        switch (p.action) {
        case FileAction::Write: f.role = LedgerRole::Added; break;
        case FileAction::Replace:
            f.role = LedgerRole::Replaced;
            f.backup = p.backup;
            f.replacedSha256 = p.existingSha256;
            break;
        case FileAction::Share: f.role = LedgerRole::Shared; break;
        case FileAction::Keep:
        case FileAction::Skip: continue;  // the player's own file: never touched
        }
        record.files.push_back(std::move(f));
    }
    return record;
}

InstallOutcome installSharedDate(const SharedDate& shared, const InstallPlan& plan) {
    return Install(shared, plan).run();
}

}  // namespace tryster::share
