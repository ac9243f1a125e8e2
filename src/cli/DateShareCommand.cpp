// tryster-cli date pack / install / uninstall: sharing dates as one file.
//
//   date pack DATE.iff --game DIR --out FILE.zip
//   date install FILE --game DIR [--dry-run] [--json] [--replace-skins] [--set-aside-journal]
//   date uninstall NAME --game DIR [--dry-run] [--json] [--keep-current] [--set-aside-journal]
//
// "pack" writes the date, its web export file and snapshots, the skins its
// look wears and a manifest into one zip file. "install" reads a pack (zip,
// 7z, tar, rar) as untrusted data, checks every file, prints what it would
// write and every conflict, and unless --dry-run installs it all or
// nothing; a skin that differs from the game's is kept as the game has it
// unless --replace-skins. "uninstall" is the undo of that install in the
// game folder's history (as `history undo` does it; --keep-current keeps
// a file changed since as a backup). Install and uninstall first finish
// what an interrupted run left.

#include "cli/Commands.h"
#include "cli/GameFolderChange.h"
#include "cli/JsonOutput.h"
#include "cli/TextOutput.h"
#include "platform/FileSystem.h"
#include "share/InstallReview.h"
#include "share/Installer.h"
#include "share/Journal.h"
#include "share/PackBuilder.h"
#include "share/Recovery.h"
#include "share/ShownText.h"
#include "share/Undo.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace tryster::cli {
namespace {

using nlohmann::ordered_json;

struct PackOptions {
    std::string date;
    std::string game;
    std::string out;
};

struct InstallCommandOptions {
    std::string file;
    std::string game;
    bool dryRun = false;
    bool json = false;
    bool replaceSkins = false;
    bool setAsideJournal = false;
};

struct UninstallOptions {
    std::string name;
    std::string game;
    bool dryRun = false;
    bool json = false;
    bool keepCurrent = false;
    bool setAsideJournal = false;
};

// Checked before anything else is done or printed.
void requireGameFolder(const std::string& game) {
    if (!platform::fileSystem().isDirectory(game)) throw CommandError(fmt::format("{}: no such game folder", game));
}

void requireInstallFolder(const std::string& game) {
    if (std::string problem = share::gameFolderProblem(game); !problem.empty()) throw CommandError(problem);
}

// ---- pack

// A bare name is looked up among the game's dates.
std::string datePathOf(const PackOptions& o) {
    auto& files = platform::fileSystem();
    if (files.exists(o.date) || !platform::folderPart(o.date).empty()) return o.date;
    const std::string inDates = platform::joinPath(platform::joinPath(o.game, share::kDatesFolder), o.date);
    if (files.exists(inDates)) return inDates;
    if (files.exists(inDates + ".iff")) return inDates + ".iff";
    return o.date;
}

void runPack(const PackOptions& o) {
    requireGameFolder(o.game);
    share::PackOutcome outcome = share::packDate({datePathOf(o), o.game, o.out, {}});
    if (!outcome.written) throw CommandError(outcome.problem);
    for (const std::string& f : outcome.files) fmt::print("{}\n", f);
    fmt::print(stderr, "tryster-cli: wrote {} ({} files)\n", o.out, outcome.files.size());
}

// ---- install

std::string_view actionName(share::FileAction action) {
    switch (action) {
    case share::FileAction::Write: return "write";
    case share::FileAction::Replace: return "replace";
    case share::FileAction::Keep: return "keep";
    case share::FileAction::Skip: return "skip";
    case share::FileAction::Share: return "share";
    }
    return "write";
}

std::string hex(std::uint32_t v) { return fmt::format("0x{:08X}", v); }

ordered_json dateJson(const share::SharedDate& shared) {
    ordered_json date = {{"file", shared.pack.date().path.path},
                         {"name", share::sharedDateName(shared)},
                         {"age", share::sharedDateAge(shared)},
                         {"gender", share::sharedDateGender(shared)},
                         {"description", share::sharedDateDescription(shared)}};
    const share::PackManifest& m = shared.pack.manifest;
    date["manifest"] = {{"name", m.name}, {"gender", m.gender}, {"description", m.description}};
    date["manifestDiffers"] = share::claimNotices(shared);
    return date;
}

ordered_json planJson(const share::SharedDate& shared, const share::InstallPlan& plan) {
    ordered_json out;
    out["pack"] = shared.archivePath;
    out["date"] = dateJson(shared);
    out["ignored"] = shared.pack.ignored;
    ordered_json files = ordered_json::array();
    ordered_json conflicts = ordered_json::array();
    for (const share::PlannedFile& f : plan.files) {
        ordered_json entry = {{"path", f.path}, {"action", actionName(f.action)}};
        if (!f.owner.empty()) entry["installedWith"] = f.owner;
        if (!f.backup.empty()) entry["backup"] = f.backup;
        files.push_back(entry);
        if (f.action == share::FileAction::Replace || f.action == share::FileAction::Keep)
            conflicts.push_back({{"path", f.path}, {"resolution", actionName(f.action)}});
    }
    out["files"] = files;
    out["conflicts"] = conflicts;
    ordered_json changes = ordered_json::array();
    for (const share::IdentifierChange& c : plan.identifierChanges)
        changes.push_back({{"from", hex(c.from)}, {"to", hex(c.to)}, {"takenBy", c.takenBy}});
    out["identifierChanges"] = changes;
    out["missingSkins"] = plan.missingSkins;
    return out;
}

// What the review shows, as lines: the date as it is, what the pack claims
// otherwise, what was left out, then the plan.
void printPlan(const share::SharedDate& shared, const share::InstallPlan& plan) {
    fmt::print("{} ({}, {}), {}\n", printable(share::sharedDateName(shared)), share::sharedDateGender(shared),
               share::sharedDateAge(shared), shared.pack.date().path.path);
    const std::string description = share::sharedDateDescription(shared);
    if (!description.empty()) fmt::print("  {}\n", share::shownText(description, share::kShownNameLength));
    for (const std::string& notice : share::claimNotices(shared)) fmt::print("Note: {}\n", notice);
    if (std::string ignored = share::ignoredNotice(shared); !ignored.empty()) fmt::print("Note: {}\n", ignored);
    for (const share::PlannedFile& f : plan.files) {
        std::string note;
        switch (f.action) {
        case share::FileAction::Write: break;
        case share::FileAction::Replace:
            note = fmt::format("  conflict: the game's file differs; replaced, kept as {}", f.backup);
            break;
        case share::FileAction::Keep:
            note = "  conflict: the game's file differs; the game's is kept (--replace-skins replaces it)";
            break;
        case share::FileAction::Skip: note = "  already there"; break;
        case share::FileAction::Share: note = fmt::format("  already there, installed with the date {}", f.owner); break;
        }
        fmt::print("  {:<8} {}{}\n", actionName(f.action), f.path, note);
    }
    for (const share::IdentifierChange& c : plan.identifierChanges)
        fmt::print("The date's object identifier {} is taken by {}; it gets {}.\n", hex(c.from), c.takenBy, hex(c.to));
    for (const std::string& missing : plan.missingSkins)
        fmt::print("Warning: the date wears {}, which neither the pack nor the game has.\n", missing);
}

void runInstall(const InstallCommandOptions& o) {
    requireInstallFolder(o.game);
    if (!o.dryRun) finishInterrupted(o.game, o.setAsideJournal, o.json);
    share::SharedDateOpening opening = share::openSharedDate(o.file);
    if (!opening.date)
        failWith({{"pack", o.file}},
                 fmt::format("{}: refused: {}; nothing was written", o.file, opening.problem), o.json);
    share::InstallOptions options;
    options.replaceSkins = o.replaceSkins;
    const share::InstallPlan plan = share::planInstall(*opening.date, o.game, options);
    ordered_json json = planJson(*opening.date, plan);
    if (!o.json) printPlan(*opening.date, plan);
    if (!plan.ok())
        failWith(json, fmt::format("{}: cannot be installed: {}; nothing was written", o.file, plan.problem), o.json);
    if (o.dryRun) {
        json["dryRun"] = true;
        if (o.json) printJson(json);
        else fmt::print("Dry run: nothing was written.\n");
        return;
    }
    share::InstallOutcome outcome = share::installSharedDate(*opening.date, plan);
    json["installed"] = outcome.installed;
    json["written"] = outcome.written;
    json["backups"] = outcome.backups;
    if (!outcome.installed) failWith(json, fmt::format("{}: not installed: {}", o.file, outcome.problem), o.json);
    if (o.json) printJson(json);
    else fmt::print("Installed {}: {} files written.\n", plan.dateName, outcome.written.size());
    tellRecorded(o.game, outcome.id);
}

// ---- uninstall

void runUninstall(const UninstallOptions& o) {
    if (o.name.find_first_not_of(' ') == std::string::npos) throw CommandError(std::string(share::kNoDateNamed));
    requireInstallFolder(o.game);
    if (!o.dryRun) finishInterrupted(o.game, o.setAsideJournal, o.json);
    const share::HistoryReading reading = share::loadHistory(o.game);
    if (!reading.history) failWith({{"date", o.name}}, reading.problem, o.json);
    const share::InstalledDate installed = share::findInstalledDate(*reading.history, o.name);
    if (!installed.entry) failWith({{"date", o.name}}, installed.problem, o.json);
    const std::string date = installed.entry->date;
    const share::UndoPlan plan = share::planUndo(*reading.history, o.game, installed.entry->id, o.keepCurrent);
    ordered_json json = {{"date", date}, {"name", installed.entry->name}, {"id", installed.entry->id}};
    json["steps"] = undoStepsJson(*reading.history, plan);
    if (!o.json) printUndoSteps(plan);
    if (!plan.ok()) failWith(json, fmt::format("{}: not uninstalled: {}{}", date, plan.problem, keepCurrentHint(plan)), o.json);
    if (o.dryRun) {
        json["dryRun"] = true;
        if (o.json) printJson(json);
        else fmt::print("Dry run: nothing was changed.\n");
        return;
    }
    const share::UndoOutcome outcome = share::undoChange(o.game, installed.entry->id, o.keepCurrent, &plan);
    addUndoOutcome(json, outcome);
    if (!o.json)
        for (const std::string& note : outcome.notes) fmt::print("Note: {}.\n", note);
    if (!outcome.problem.empty()) failWith(json, fmt::format("{}: not uninstalled: {}", date, outcome.problem), o.json);
    if (o.json) printJson(json);
    else
        fmt::print("Uninstalled {}: {} files removed, {} restored.\n", date, outcome.removed.size(),
                   outcome.restored.size());
}

}  // namespace

void addDateShareCommands(CLI::App& date) {
    auto pack = std::make_shared<PackOptions>();
    CLI::App* p = date.add_subcommand(
        "pack", "Write a date, its web export file, snapshots and the skins it wears into one zip file to share");
    p->add_option("DATE", pack->date, "The date file (.iff), or its name in the game's TemplateNPCs folder")
        ->required();
    p->add_option("--game", pack->game, "The game's install folder (the skins are taken from GameData/Skins)")
        ->required();
    p->add_option("--out", pack->out, "The archive to write (.zip)")->required();
    p->callback([pack] { runPack(*pack); });

    auto install = std::make_shared<InstallCommandOptions>();
    CLI::App* i = date.add_subcommand(
        "install", "Check a shared date (zip, 7z, tar, rar) and install it into the game folder, all or nothing");
    i->add_option("FILE", install->file, "The shared date's archive")->required();
    i->add_option("--game", install->game, "The game's install folder")->required();
    i->add_flag("--dry-run", install->dryRun, "Print what would be written and every conflict; write nothing");
    i->add_flag("--json", install->json, "Print JSON");
    i->add_flag("--set-aside-journal", install->setAsideJournal,
                "When the journal of an interrupted run is damaged, keep it under another name and go on");
    i->add_flag("--replace-skins", install->replaceSkins,
                "Replace the game's skins that differ from the pack's (a backup of each is kept); "
                "without it the game's are kept");
    i->callback([install] { runInstall(*install); });

    auto uninstall = std::make_shared<UninstallOptions>();
    CLI::App* u = date.add_subcommand(
        "uninstall",
        "Take back an installed shared date (the undo of its install): remove what it added, restore what it replaced");
    u->add_option("NAME", uninstall->name, "The date's file name (Rosa or Rosa.iff) or its character's name")
        ->required();
    u->add_option("--game", uninstall->game, "The game's install folder")->required();
    u->add_flag("--dry-run", uninstall->dryRun, "Print what would be done; change nothing");
    u->add_flag("--json", uninstall->json, "Print JSON");
    u->add_flag("--keep-current", uninstall->keepCurrent,
                "Where a file changed since the install, keep it as a backup and uninstall anyway");
    u->add_flag("--set-aside-journal", uninstall->setAsideJournal,
                "When the journal of an interrupted run is damaged, keep it under another name and go on");
    u->callback([uninstall] { runUninstall(*uninstall); });
}

}  // namespace tryster::cli
