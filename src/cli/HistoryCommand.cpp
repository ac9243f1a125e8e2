// tryster-cli history: the game folder's record of every change Tryster
// made there, and taking one back.
//
//   history --game DIR [--json] [--set-aside-journal]
//   history undo ID --game DIR [--dry-run] [--json] [--keep-current] [--set-aside-journal]
//   history forget ID --game DIR [--dry-run] [--json] [--set-aside-journal]
//
// "history" lists the changes newest first: number, time (local), what,
// the character, its state and its files, and how much space the backups
// take. "undo" puts back what the change found: it removes what it added
// and restores what it replaced, only while every file is as the change
// left it; --keep-current undoes anyway, keeping a file changed since as a
// backup. "forget" keeps the game as it is and deletes the backups only
// that change needed; it can no longer be undone. Each first finishes what
// an interrupted run left.

#include "cli/Commands.h"
#include "cli/GameFolderChange.h"
#include "cli/JsonOutput.h"
#include "share/Forget.h"
#include "share/HistoryView.h"
#include "share/InstallPlan.h"
#include "share/Undo.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace tryster::cli {
namespace {

using nlohmann::ordered_json;

struct HistoryOptions {
    std::int64_t id = 0;
    std::string game;
    bool dryRun = false;
    bool json = false;
    bool keepCurrent = false;
    bool setAsideJournal = false;
};

// The history as it is after finishing what was interrupted; the command
// fails with `document` when it cannot be read.
share::History readHistory(const HistoryOptions& o, const ordered_json& document) {
    if (std::string problem = share::gameFolderProblem(o.game); !problem.empty()) failWith(document, problem, o.json);
    if (!o.dryRun) finishInterrupted(o.game, o.setAsideJournal, o.json);
    share::HistoryReading reading = share::loadHistory(o.game);
    if (!reading.history) failWith(document, reading.problem, o.json);
    return std::move(*reading.history);
}

std::string stateName(const share::HistoryEntry& e) {
    if (e.forgotten) return "forgotten";
    if (e.undoneBy) return "undone";
    return e.kind == share::ChangeKind::Undone ? "undo" : "active";
}

ordered_json entryJson(const std::string& game, const share::History& history, const share::HistoryEntry& e) {
    ordered_json out = {{"id", e.id},
                        {"kind", share::kindName(e.kind)},
                        {"what", share::kindLabel(history, e)},
                        {"time", e.time.empty() ? ordered_json(nullptr) : ordered_json(e.time)},
                        {"localTime", share::whenText(e)},
                        {"name", e.name},
                        {"state", stateName(e)},
                        {"undoable", e.undoable()}};
    if (e.kind == share::ChangeKind::Installed) {
        out["date"] = e.date;
        out["pack"] = e.pack;
    }
    if (e.undoes) out["undoes"] = e.undoes;
    if (e.undoneBy) out["undoneBy"] = e.undoneBy;
    out["backupBytes"] = share::backupBytes(game, e);
    ordered_json files = ordered_json::array();
    for (const share::ChangedFile& f : e.files) {
        ordered_json file = {{"path", f.path}, {"role", share::roleName(f.role)}};
        if (!f.sha256.empty()) file["sha256"] = f.sha256;
        if (!f.backup.empty()) {
            file["backup"] = f.backup;
            file["backupSha256"] = f.replacedSha256;
        }
        files.push_back(file);
    }
    out["files"] = files;
    return out;
}

void runList(const HistoryOptions& o) {
    const share::History history = readHistory(o, {{"game", o.game}});
    const std::uint64_t bytes = share::backupBytes(o.game, history);
    if (o.json) {
        ordered_json changes = ordered_json::array();
        for (auto e = history.entries.rbegin(); e != history.entries.rend(); ++e)
            changes.push_back(entryJson(o.game, history, *e));
        printJson(ordered_json{{"game", o.game}, {"backupBytes", bytes}, {"changes", changes}});
        return;
    }
    if (history.entries.empty()) {
        fmt::print("No change has been made in {} yet.\n", o.game);
        return;
    }
    fmt::print("{}\n", share::backupSpaceText(bytes));
    for (auto e = history.entries.rbegin(); e != history.entries.rend(); ++e) {
        fmt::print("{:>4}  {}\n", e->id, share::entryLine(history, *e));
        for (const share::ChangedFile& f : e->files) fmt::print("        {}\n", share::fileLine(f));
    }
}

void runUndo(const HistoryOptions& o) {
    ordered_json json = {{"id", o.id}};
    const share::History history = readHistory(o, json);
    const share::UndoPlan plan = share::planUndo(history, o.game, o.id, o.keepCurrent);
    if (const share::HistoryEntry* e = history.entry(o.id)) {
        json["what"] = share::kindLabel(history, *e);
        json["name"] = e->name;
    }
    json["steps"] = undoStepsJson(history, plan);
    json["laterChanges"] = plan.laterChanges;
    json["changedFiles"] = plan.changedFiles;
    if (!o.json) printUndoSteps(plan);
    if (!plan.ok()) failWith(json, fmt::format("not undone: {}{}", plan.problem, keepCurrentHint(plan)), o.json);
    if (o.dryRun) {
        json["dryRun"] = true;
        if (o.json) printJson(json);
        else fmt::print("Dry run: nothing was changed.\n");
        return;
    }
    const share::UndoOutcome outcome = share::undoChange(o.game, o.id, o.keepCurrent, &plan);
    addUndoOutcome(json, outcome);
    if (!o.json)
        for (const std::string& note : outcome.notes) fmt::print("Note: {}.\n", note);
    if (!outcome.problem.empty()) failWith(json, "not undone: " + outcome.problem, o.json);
    if (o.json) printJson(json);
    else
        fmt::print("Undone: {} files removed, {} put back, {} kept as a backup; recorded as change {}.\n",
                   outcome.removed.size(), outcome.restored.size(), outcome.kept.size(), outcome.undoId);
    if (!outcome.done) failWith(json, "the change could only be partly undone", false);
}

void runForget(const HistoryOptions& o) {
    ordered_json json = {{"id", o.id}};
    const share::History history = readHistory(o, json);
    const share::ForgetPlan plan = share::planForget(history, o.game, o.id);
    json["backups"] = plan.backups;
    json["bytes"] = plan.bytes;
    if (!plan.ok()) failWith(json, "not forgotten: " + plan.problem, o.json);
    if (o.dryRun) {
        json["dryRun"] = true;
        if (o.json) printJson(json);
        else fmt::print("Dry run: nothing was changed.\n{}\n", share::forgetQuestion(history, plan));
        return;
    }
    const share::ForgetOutcome outcome = share::forgetChange(o.game, o.id, &plan);
    json["forgotten"] = outcome.done;
    json["deleted"] = outcome.deleted;
    if (!outcome.done) failWith(json, "not forgotten: " + outcome.problem, o.json);
    if (o.json) printJson(json);
    else fmt::print("{}\n", share::forgetOutcomeMessage(outcome));
}

void addCommonOptions(CLI::App* command, HistoryOptions& o, bool gameRequired = true) {
    CLI::Option* game = command->add_option("--game", o.game, "The game's install folder");
    if (gameRequired) game->required();
    command->add_flag("--json", o.json, "Print JSON");
    command->add_flag("--set-aside-journal", o.setAsideJournal,
                      "When the journal of an interrupted run is damaged, keep it under another name and go on");
}

}  // namespace

void addHistoryCommand(CLI::App& app) {
    auto list = std::make_shared<HistoryOptions>();
    CLI::App* history = app.add_subcommand(
        "history", "List every change Tryster made in a game folder, newest first; undo or forget one");
    // Its own --game is asked for only when it lists: "history undo 3
    // --game DIR" gives the subcommand's.
    addCommonOptions(history, *list, false);
    history->require_subcommand(0, 1);

    auto undo = std::make_shared<HistoryOptions>();
    CLI::App* u = history->add_subcommand(
        "undo", "Take a change back: remove what it added, restore what it replaced, while each file is as it left it");
    u->add_option("ID", undo->id, "The change's number, as the list shows it")->required();
    addCommonOptions(u, *undo);
    u->add_flag("--dry-run", undo->dryRun, "Print what would be done; change nothing");
    u->add_flag("--keep-current", undo->keepCurrent,
                "Where a file changed since the change, keep it as a backup and undo anyway");
    u->callback([undo] { runUndo(*undo); });

    auto forget = std::make_shared<HistoryOptions>();
    CLI::App* f = history->add_subcommand(
        "forget", "Forget a change: keep the game as it is and delete the backups only it needed");
    f->add_option("ID", forget->id, "The change's number, as the list shows it")->required();
    addCommonOptions(f, *forget);
    f->add_flag("--dry-run", forget->dryRun, "Print the backups it would delete; change nothing");
    f->callback([forget] { runForget(*forget); });

    history->callback([history, list] {
        if (!history->get_subcommands().empty()) return;
        if (list->game.empty()) throw CommandError("history: --game is required");
        runList(*list);
    });
}

}  // namespace tryster::cli
