#include "share/Installer.h"

#include "platform/GameText.h"
#include "share/GameChange.h"
#include "share/GameWrites.h"

namespace tryster::share {
namespace {

bool writes(FileAction action) { return action == FileAction::Write || action == FileAction::Replace; }

std::span<const std::uint8_t> bytesFor(const SharedDate& shared, const InstallPlan& plan, const PlannedFile& p) {
    if (p.kind == PackFileKind::Date) return plan.dateBytes;
    const PackFile* f = shared.pack.find(p.path);
    return f ? std::span<const std::uint8_t>(f->bytes) : std::span<const std::uint8_t>();
}

}  // namespace

InstallOutcome installSharedDate(const SharedDate& shared, const InstallPlan& plan) {
    InstallOutcome outcome;
    const auto fail = [&](std::string problem) {
        outcome.problem = std::move(problem);
        return outcome;
    };
    if (!plan.ok()) return fail(plan.problem);
    GameChange change(plan.gameFolder, ChangeKind::Installed);
    if (!change.ready()) return fail(change.reason());
    // Planned on an earlier reading: what another run did since counts.
    if (const HistoryEntry* r = installedDate(change.history(), plan.dateName))
        return fail("the date " + r->date + " was installed meanwhile");
    // The date's own name, as the review showed it; the archive's name may
    // be bytes of another system, kept readable.
    change.describeInstall(platform::fromGameText(shared.facts.reading.name), plan.dateName,
                    platform::escapedUtf8(platform::namePart(shared.archivePath)));

    std::vector<std::string> targets;
    for (const PlannedFile& p : plan.files)
        if (writes(p.action)) targets.push_back(localPath(plan.gameFolder, p.path));
    if (!change.begin(targets)) return fail(change.reason());
    std::vector<platform::StagedFile> staged;
    staged.reserve(targets.size());
    std::vector<GameChange::File> files;
    for (const PlannedFile& p : plan.files) {
        const std::string target = localPath(plan.gameFolder, p.path);
        if (p.action == FileAction::Share) files.push_back({target, nullptr, false, p.sha256, p.sha256});
        if (!writes(p.action)) continue;  // the player's own file, or the same bytes: never touched
        staged.emplace_back(target);
        if (!writeStaged(staged.back(), bytesFor(shared, plan, p)))
            return fail("could not write " + p.path + " (is the disk full?); nothing was installed");
        files.push_back({target, &staged.back(), false, p.sha256, p.existingSha256});
    }
    const ChangeOutcome done = change.commit(std::move(files));
    outcome.installed = done.done;
    outcome.leftForRecovery = done.leftForRecovery;
    outcome.id = done.id;
    if (!done.done) {
        // "Changed while being prepared" and the like end in what became of the folder.
        outcome.problem = done.problem;
        if (!done.leftForRecovery && !done.problem.ends_with("nothing was changed")) outcome.problem += "; nothing was installed";
        return outcome;
    }
    for (const ChangedFile& f : done.entry.files) {
        if (f.role == FileRole::Shared) continue;
        outcome.written.push_back(f.path);
        if (!f.backup.empty()) outcome.backups.push_back(f.backup);
    }
    return outcome;
}

}  // namespace tryster::share
