// tryster-cli townie: the Replace path of the program without the window.
//
//   townie list NEIGHBORHOOD.iff [--json]
//   townie dates --game DIR [--json]
//   townie replace NEIGHBORHOOD.iff TOWNIE_FILE DATE_FILE
//
// "list" and "dates" print the files the program offers, in its order, each
// with the catalog name, age and gender its open dialog shows ("Unknown
// ..." for a file it cannot read); JSON: a list of objects with the keys
// file, name, age and gender. "replace" puts a copy of the date in the
// townie's place, keeping the townie's identity, and prints the path of
// the backup kept of the townie; in a game folder (GAME/UserData/
// Neighborhood.iff) the change is recorded in its history, to be undone
// with `history undo`. TOWNIE_FILE is a file name as "list" prints it (or
// its path in the neighbourhood's characters folder).

#include "cli/Commands.h"
#include "cli/GameFolderChange.h"
#include "cli/JsonOutput.h"
#include "cli/MessageLog.h"
#include "cli/TextOutput.h"
#include "exchange/CharacterReading.h"
#include "exchange/TownieReplacement.h"
#include "exchange/TownieSearch.h"
#include "platform/FileSystem.h"
#include "share/GameChange.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace tryster::cli {
namespace {

using nlohmann::ordered_json;

struct TownieOptions {
    std::string neighborhood;
    std::string game;
    std::string townie;
    std::string date;
    bool json = false;
};

constexpr std::string_view kNeighborhoodExpected =
    "the neighbourhood's file (Neighborhood.iff), with the neighbourhood's Characters folder beside it";

[[noreturn]] void fail(std::string_view file, std::string_view expected, std::string found,
                       resfile::ResError code = resfile::kNoError) {
    throw CommandError(resfile::FileProblem{std::string(file), std::string(expected), std::move(found), code});
}

void requireFile(const std::string& path, std::string_view expected) {
    if (!platform::fileSystem().exists(path) || platform::fileSystem().isDirectory(path))
        fail(path, expected, resfile::describeContents(path));
}

std::string charactersFolderOf(const std::string& neighborhood) {
    requireFile(neighborhood, kNeighborhoodExpected);
    std::string folder = exchange::neighborhoodCharactersFolder(neighborhood);
    if (!platform::fileSystem().isDirectory(folder))
        fail(neighborhood, kNeighborhoodExpected, fmt::format("no folder {} beside it", folder));
    return folder;
}

// The files in `folder`, each as the open dialog's extra panel shows it.
void printCharacters(const std::string& folder, const std::vector<std::string>& names, bool json) {
    ordered_json out = ordered_json::array();
    for (const std::string& name : names) {
        exchange::ExtraPanelText panel = exchange::extraPanelText(exchange::readCharacter(platform::joinPath(folder, name)));
        if (json)
            out.push_back({{"file", systemText(name)}, {"name", utf8(panel.name)}, {"age", utf8(panel.age)},
                           {"gender", utf8(panel.gender)}});
        else
            fmt::print("{}  \"{}\"  {}  {}\n", printable(name), printable(utf8(panel.name)), printable(utf8(panel.age)),
                       printable(utf8(panel.gender)));
    }
    if (json) printJson(out);
    else if (names.empty()) fmt::print(stderr, "nothing found in {}\n", folder);
}

void runList(const TownieOptions& o) {
    const std::string folder = charactersFolderOf(o.neighborhood);
    printCharacters(folder, exchange::searchTownies(folder), o.json);
}

void runDates(const TownieOptions& o) {
    if (!platform::fileSystem().isDirectory(o.game))
        fail(o.game, "the game's install folder", resfile::describeContents(o.game));
    printCharacters(exchange::datesFolder(o.game), exchange::searchDates(o.game), o.json);
}

bool sameFolder(std::string_view a, std::string_view b) {
    std::error_code ec;
    return std::filesystem::equivalent(platform::resolvePath(a), platform::resolvePath(b), ec);
}

// What keeps the file at `path` off the townie list, in words.
std::string whyNoTownie(const std::string& path) {
    if (!platform::fileSystem().exists(path) || platform::fileSystem().isDirectory(path))
        return resfile::describeContents(path);
    if (!platform::matchesPattern(platform::namePart(path), exchange::kTowniePattern))
        return fmt::format("a file whose name does not match {}", exchange::kTowniePattern);
    const exchange::CharacterReading reading = exchange::readCharacter(path);
    if (reading.look && !reading.look->appearance.isAdult) return fmt::format("a child (age \"{}\")", reading.ageText);
    return fmt::format("a file of {} bytes", platform::fileSystem().fileSize(path).value_or(0));
}

// The townie's path in `folder`, checked against the townies the program
// would offer there.
std::string townieIn(const std::string& folder, const std::string& given) {
    const std::string expected =
        fmt::format("a townie of the neighbourhood: one of the {} files of {} that are adults and hold at least {} bytes",
                    exchange::kTowniePattern, folder, exchange::kMinTownieFileSize);
    const std::string_view givenFolder = platform::folderPart(given);
    if (!givenFolder.empty() && !sameFolder(givenFolder, folder)) fail(given, expected, "a file in another folder");
    const std::string_view name = platform::namePart(given);
    const std::vector<std::string> townies = exchange::searchTownies(folder);
    auto found = std::find_if(townies.begin(), townies.end(),
                              [&](const std::string& t) { return platform::equalsNoCase(t, name); });
    if (found == townies.end()) fail(given, expected, whyNoTownie(platform::joinPath(folder, name)));
    return platform::joinPath(folder, *found);
}

void runReplace(const TownieOptions& o) {
    const std::string folder = charactersFolderOf(o.neighborhood);
    const std::string townie = townieIn(folder, o.townie);
    requireFile(o.date, "a date's file (a character container of the game)");
    if (o.date.find(exchange::kGenericDateName) != std::string::npos)
        fail(o.date, "a date that can replace a townie", "the game's generic date, which cannot");

    const std::string game = gameFolderAbove(o.neighborhood, 1);
    if (!game.empty()) finishInterrupted(game, false, false);
    share::GameChange change(game, share::ChangeKind::TownieReplaced);
    if (!change.ready()) throw CommandError(fmt::format("{}: {}", game, change.reason()));
    MessageLog messages;
    exchange::ReplaceResult result = exchange::replaceTownie(townie, o.date, messages, change);
    if (!result.replaced())
        fail(townie, fmt::format("to be replaced by a copy of {}", o.date),
             fmt::format("{}{}, so it is as it was", exchange::describe(result.status),
                         result.problem.empty() ? std::string() : " (" + result.problem + ")"),
             result.error);
    fmt::print("{}\n", result.backupPath);
    tellRecorded(game, change.recordedId());
}

}  // namespace

void addTownieCommand(CLI::App& app) {
    CLI::App* townie = app.add_subcommand("townie", "List townies and dates, and replace a townie with a date");
    townie->require_subcommand(1);
    auto o = std::make_shared<TownieOptions>();

    CLI::App* list = townie->add_subcommand("list", "The townies of a neighbourhood, as the program offers them");
    list->add_option("NEIGHBORHOOD", o->neighborhood, "The neighbourhood file (Neighborhood.iff)")->required();
    list->add_flag("--json", o->json, "Print JSON");
    list->callback([o] { runList(*o); });

    CLI::App* dates = townie->add_subcommand("dates", "The dates that can replace a townie, as the program offers them");
    dates->add_option("--game", o->game, "The game's install folder (dates are in TemplateNPCs)")->required();
    dates->add_flag("--json", o->json, "Print JSON");
    dates->callback([o] { runDates(*o); });

    CLI::App* replace = townie->add_subcommand(
        "replace", "Replace a townie with a copy of a date that keeps the townie's identity; prints the backup's path");
    replace->add_option("NEIGHBORHOOD", o->neighborhood, "The neighbourhood file (Neighborhood.iff)")->required();
    replace->add_option("TOWNIE_FILE", o->townie, "The townie's file name, as 'townie list' prints it")->required();
    replace->add_option("DATE_FILE", o->date, "The date file to copy")->required();
    replace->callback([o] { runReplace(*o); });
}

}  // namespace tryster::cli
