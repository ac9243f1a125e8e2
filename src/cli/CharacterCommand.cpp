// tryster-cli character: the program's Load and Save-back commands without
// the window.
//
//   character show FILE.iff [--json]
//   character save-back FILE.iff --body-mesh X --body-texture Y --head-mesh Z
//                       --head-texture W --skin-tone N --body-type N [--child]
//                       [--game DIR]
//
// "show" prints what the Load command reads: the catalog name, the age and
// gender, the "Skin Type:" and "Body Type:" entries it selects and the body
// and head names (lower-cased, as the load takes them). A file without
// string list 200 shows its name only; the look is null.
//
// "save-back" writes the look into the file as the program's Save does
// after a load (skin tone 0 Light, 1 Medium, 2 Dark; body type 0 Fit,
// 1 Full, 2 Thin; --child keeps the body-type codes of the outfit strings),
// then prints the path of the backup kept of the old file and the program's
// closing message; the change is recorded in the game's history, to be
// undone with `history undo`. It writes only names the window could choose: the meshes
// and textures the game's catalog offers this character (its gender as the
// file says, the age, body type and skin tone given), which `tryster-cli
// catalog` lists; any other name is refused and nothing is changed. The
// game is the one the file lies in (GAME\UserData\Characters\FILE.iff)
// unless --game names it.

#include "cli/AnimGame.h"
#include "cli/Commands.h"
#include "cli/GameFolderChange.h"
#include "cli/JsonOutput.h"
#include "cli/MessageLog.h"
#include "cli/PreviewGame.h"
#include "cli/TextOutput.h"
#include "exchange/CharacterReading.h"
#include "exchange/SaveBack.h"
#include "platform/FileSystem.h"
#include "share/GameChange.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tryster::cli {
namespace {

using nlohmann::ordered_json;

// The catalog needs the preview set up; nothing is drawn.
constexpr int kCatalogTargetSize = 64;

struct CharacterOptions {
    std::string file;
    bool json = false;
    std::string bodyMesh;
    std::string bodyTexture;
    std::string headMesh;
    std::string headTexture;
    int skinTone = kMedium;
    int bodyType = kFit;
    bool child = false;
    std::string game;
};

constexpr std::string_view kCharacterExpected =
    "a character file of the game: a container that starts with \"IFF FILE 2.5:TYPE FOLLOWED BY SIZE\" (or 2.0)";

exchange::CharacterReading readExisting(const std::string& path) {
    if (!platform::fileSystem().exists(path) || platform::fileSystem().isDirectory(path))
        throw CommandError(resfile::FileProblem{path, std::string(kCharacterExpected), resfile::describeContents(path)});
    exchange::CharacterReading reading = exchange::readCharacter(path);
    if (!reading.opened) throw CommandError(resfile::openProblem(path, kCharacterExpected, reading.openError));
    return reading;
}

ordered_json showJson(const exchange::CharacterReading& reading) {
    ordered_json out;
    out["name"] = utf8(reading.name);
    const auto& look = reading.look;
    auto entry = [&](auto text) { return look ? ordered_json(utf8(text)) : ordered_json(nullptr); };
    const Appearance* names = look ? &look->appearance : nullptr;
    out["age"] = entry(names && names->isAdult ? "Adult" : "Child");
    out["gender"] = entry(look && look->isMale() ? "Male" : "Female");
    out["skinTone"] = entry(look ? kSkinTypeEntries[static_cast<std::size_t>(look->record.skinTone())] : "");
    out["bodyType"] = entry(look ? kBodyTypeEntries[static_cast<std::size_t>(look->record.bodyType())] : "");
    out["bodyMesh"] = entry(names ? names->bodyMesh : "");
    out["bodyTexture"] = entry(names ? names->bodyTexture : "");
    out["headMesh"] = entry(names ? names->headMesh : "");
    out["headTexture"] = entry(names ? names->headTexture : "");
    return out;
}

// A damaged file shows what could be read, with a warning; when the damage
// took the look too, the command fails.
void runShow(const CharacterOptions& o) {
    exchange::CharacterReading reading = readExisting(o.file);
    std::optional<resfile::FileProblem> damage;
    if (reading.damage) damage = resfile::damageProblem(o.file, reading.damage);
    if (!reading.look && !damage) fmt::print(stderr, "{}: no string list 200, so no look to load\n", o.file);
    ordered_json out = showJson(reading);
    if (o.json) {
        if (damage) out["error"] = problemJson(*damage);
        printJson(out);
    } else {
        for (const auto& [key, value] : out.items())
            fmt::print("{}: {}\n", key, value.is_null() ? std::string("none") : printable(value.get<std::string>()));
    }
    if (!damage) return;
    if (reading.look) return printWarning(*damage);
    CommandError error(*damage);
    error.inOutput = o.json;
    throw error;
}

// The game folder of a character file in GAME/UserData/Characters, or none.
std::string gameFolderOf(const std::string& file) {
    const std::filesystem::path characters = std::filesystem::absolute(platform::resolvePath(file)).parent_path();
    const std::filesystem::path userData = characters.parent_path();
    if (!platform::equalsNoCase(characters.filename().string(), "Characters") ||
        !platform::equalsNoCase(userData.filename().string(), "UserData"))
        return {};
    return userData.parent_path().string();
}

std::string shellWord(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t'\"$`\\;&|<>()*?[]#~") == std::string::npos) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Refuses a look with names the game's catalog does not offer this
// character, as the window could never choose them. The catalog is the
// preview's, set up on the game as the `catalog` command sets it up.
void requireOfferedNames(const CharacterOptions& o, const Character& d) {
    const std::string game = o.game.empty() ? gameFolderOf(o.file) : o.game;
    if (game.empty())
        throw CommandError(resfile::FileProblem{
            o.file, "a character file in a game's UserData/Characters folder, or the game named with --game",
            "a file outside a game, so its names cannot be checked against the game's"});

    std::vector<std::string> refused;
    const std::string start = platform::fileSystem().currentDirectory();
    try {
        PreviewGame preview(game, kCatalogTargetSize, kCatalogTargetSize, 1);
        preview.showLook(d);
        const Appearance& offered = preview.look().names();
        const std::pair<const char*, std::pair<const std::string&, const std::string&>> names[] = {
            {"body mesh", {d.appearance.bodyMesh, offered.bodyMesh}},
            {"body texture", {d.appearance.bodyTexture, offered.bodyTexture}},
            {"head mesh", {d.appearance.headMesh, offered.headMesh}},
            {"head texture", {d.appearance.headTexture, offered.headTexture}}};
        for (const auto& [what, pair] : names)
            if (!platform::equalsNoCase(pair.first, pair.second))
                refused.push_back(fmt::format("the {} \"{}\"", what, pair.first));
    } catch (const CommandError&) {
        (void)platform::fileSystem().setCurrentDirectory(start);  // the message is the one to tell
        throw;
    }
    (void)platform::fileSystem().setCurrentDirectory(start);  // it was the current folder a moment ago
    if (refused.empty()) return;

    std::string list;
    for (std::size_t i = 0; i < refused.size(); ++i)
        list += (i == 0 ? "" : i + 1 == refused.size() ? " and " : ", ") + refused[i];
    const std::string command = fmt::format(
        "tryster-cli catalog --game {} --gender {} --body-type {} --skin-tone {}{} --body-mesh {} --head-mesh {}",
        shellWord(absolutePath(game)), d.isMale() ? "male" : "female", d.record.bodyType(), d.record.skinTone(),
        d.appearance.isAdult ? "" : " --child", shellWord(d.appearance.bodyMesh), shellWord(d.appearance.headMesh));
    throw CommandError(resfile::FileProblem{
        o.file, "mesh and texture names the game's catalog offers this character",
        fmt::format("{}, which it does not offer; nothing was changed. The names it offers are listed by: {}", list,
                    command)});
}

void runSaveBack(const CharacterOptions& o) {
    const exchange::CharacterReading existing = readExisting(o.file);
    const std::string& name = existing.name;
    // The look asked for, on the character's own gender.
    Character look;
    look.appearance.isAdult = !o.child;
    look.appearance.assign(defaultsOf(look.appearance.isAdult));
    look.appearance.bodyMesh = o.bodyMesh;
    look.appearance.bodyTexture = o.bodyTexture;
    look.appearance.headMesh = o.headMesh;
    look.appearance.headTexture = o.headTexture;
    look.record.setSkinTone(o.skinTone);
    look.record.setBodyType(o.bodyType);
    look.record.setGender(!existing.look || existing.look->isMale() ? kMale : kFemale);
    // Empty texture names get the program's own refusal from the save.
    if (!look.appearance.bodyTexture.empty() && !look.appearance.headTexture.empty()) requireOfferedNames(o, look);

    const std::string game = o.game.empty() ? gameFolderOf(o.file) : o.game;
    if (!game.empty()) finishInterrupted(game, false, false);
    share::GameChange change(game, share::ChangeKind::Restyled);
    if (!change.ready()) throw CommandError(fmt::format("{}: {}", game, change.reason()));
    MessageLog messages;
    exchange::SaveBackResult result = exchange::saveBack(o.file, name, look, messages, change);
    if (!result.saved()) {
        std::string detail = messages.lastText();
        if (result.error != resfile::kNoError) detail += fmt::format(" ({})", resfile::describeError(result.error));
        throw CommandError(fmt::format("{}: {}", o.file, detail));
    }
    fmt::print("{}\n{}\n", result.backupPath, exchange::saveCompleteText(name));
    tellRecorded(game, change.recordedId());
}

}  // namespace

void addCharacterCommand(CLI::App& app) {
    CLI::App* character = app.add_subcommand("character", "Show an existing character's look and save a new look back");
    character->require_subcommand(1);
    auto o = std::make_shared<CharacterOptions>();

    CLI::App* show = character->add_subcommand("show", "What the program's Load command reads from a character file");
    show->add_option("FILE", o->file, "Character file (.iff)")->required();
    show->add_flag("--json", o->json, "Print JSON");
    show->callback([o] { runShow(*o); });

    CLI::App* save = character->add_subcommand(
        "save-back", "Write a look into a character file; prints the backup's path and the closing message");
    save->add_option("FILE", o->file, "Character file (.iff)")->required();
    save->add_option("--body-mesh", o->bodyMesh, "Body mesh name")->required();
    save->add_option("--body-texture", o->bodyTexture, "Body texture name")->required();
    save->add_option("--head-mesh", o->headMesh, "Head mesh name")->required();
    save->add_option("--head-texture", o->headTexture, "Head texture name")->required();
    save->add_option("--skin-tone", o->skinTone, "0 Light, 1 Medium, 2 Dark")->required()->check(CLI::Range(0, 2));
    save->add_option("--body-type", o->bodyType, "0 Fit, 1 Full, 2 Thin")->required()->check(CLI::Range(0, 2));
    save->add_flag("--child", o->child, "The character is a child (outfits keep their body type)");
    save->add_option("--game", o->game,
                     "The game whose catalog the names must be in (default: the game the file lies in)");
    save->callback([o] { runSaveBack(*o); });
}

}  // namespace tryster::cli
