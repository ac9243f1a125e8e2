// tryster-cli date: new date characters without the window.
//
//   date create --game DIR --character CHAR.json --out PATH.srf [--template FILE]
//   date show FILE.iff [--json]
//
// "create" runs the save command's steps as the program does (web export
// file, skin file list, new date, and the head and body snapshots of the
// character's preview), printing each progress step on standard error and
// the files written on standard output. The template defaults to the
// start folder's TR_Template.iff, chosen as the program chooses it: the
// current folder when it holds one, else the installed data folder.
//
// "show" prints what a date file holds: its catalog name and description,
// the 22 date constants decoded, string list 200 and the object
// identifiers; and the web export file of the same base name when there is
// one.

#include "cli/AnimGame.h"
#include "cli/CharacterDescription.h"
#include "cli/Commands.h"
#include "cli/GameFolderChange.h"
#include "cli/JsonOutput.h"
#include "cli/OpenContainer.h"
#include "cli/PreviewGame.h"
#include "cli/TextOutput.h"
#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/DateConstants.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/NewDate.h"
#include "exchange/ObjectDefinition.h"
#include "exchange/SaveSequence.h"
#include "exchange/WebExchange.h"
#include "formats/ImageLibrary.h"
#include "platform/FileSystem.h"
#include "platform/GameText.h"
#include "platform/ProgramFolder.h"
#include "resfile/StdResFile.h"
#include "resfile/StringSet.h"
#include "share/GameChange.h"

#include <fmt/format.h>
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <optional>

namespace tryster::cli {
namespace {

using namespace resfile;
using nlohmann::ordered_json;

struct CreateOptions {
    std::string game;
    std::string character;
    std::string out;
    std::string templatePath;
};

struct ShowOptions {
    std::string file;
    bool json = false;
};

// Progress as numbered lines, messages with their caption, all on stderr.
class PrintingReporter final : public exchange::ExchangeReporter {
public:
    void showMessage(std::string_view caption, std::string_view text) override {
        fmt::print(stderr, "{} {}\n", caption, text);
    }
    void showStatus(std::string_view text) override { status_ = text; }
    void stepProgress() override { ++step_; }
    void redrawPreview() override { fmt::print(stderr, "[{}/{}] {}\n", step_, exchange::kSaveProgressSteps, status_); }

private:
    std::string status_;
    int step_ = 0;
};

// The idle choices during the snapshots do not depend on the day.
constexpr std::int64_t kSnapshotSeed = 1;

// The folder part of a path ("." when it has none).
std::string folderOf(std::string_view path) {
    const std::string_view folder = platform::folderPart(path);
    return folder.empty() ? std::string(".") : std::string(folder);
}

[[noreturn]] void fail(std::string_view file, std::string_view expected, std::string found,
                       ResError code = kNoError) {
    throw CommandError(resfile::FileProblem{std::string(file), std::string(expected), std::move(found), code});
}

void checkCreateArguments(const CreateOptions& o, const std::string& templatePath) {
    auto& files = platform::fileSystem();
    if (!files.isDirectory(o.game)) fail(o.game, "the game's install folder", resfile::describeContents(o.game));
    if (!files.exists(templatePath))
        fail(templatePath, "the template to make the date from (give one with --template)",
             resfile::describeContents(templatePath));
    if (!files.isDirectory(folderOf(o.out)))
        fail(o.out, "a file name in an existing folder", "no folder " + folderOf(o.out));
    // The last four characters are the extension that the date's ".iff"
    // replaces; something must stay before them.
    if (platform::namePart(o.out).size() <= 4)
        fail(o.out, "a name before the four characters of the extension", "none");
    // The date's object is named after its file, in the game's code page.
    if (const auto name = platform::toGameText(platform::namePart(o.out), false); !name.text)
        fail(o.out, "a file name the game can store", platform::refusalHint(name.refused));
    if (const std::string problem = exchange::chosenNameProblem(o.out); !problem.empty())
        fail(o.out, "a file name the game's platform can open", problem);
}

std::string defaultTemplatePath() {
    return exchange::templatePathIn(exchange::chooseStartFolder(platform::fileSystem().currentDirectory(),
                                                                platform::installedDataFolder()));
}

// While it lives, the process reads the system's clocks instead of the
// preview's simulated one.
class SystemClockScope {
public:
    explicit SystemClockScope(platform::ClockSource& simulated) : simulated_(simulated) {
        platform::installClockSource(nullptr);
    }
    ~SystemClockScope() { platform::installClockSource(&simulated_); }
    SystemClockScope(const SystemClockScope&) = delete;
    SystemClockScope& operator=(const SystemClockScope&) = delete;

private:
    platform::ClockSource& simulated_;
};

// The preview's snapshots, drawn on its simulated clock so they repeat.
class SnapshotsOnOwnClock final : public exchange::PreviewSnapshots {
public:
    explicit SnapshotsOnOwnClock(PreviewGame& game) : game_(game) {}
    std::vector<std::string> takeSnapshots(std::string_view headPath, std::string_view bodyPath) override {
        platform::installClockSource(&game_.clock());
        std::vector<std::string> written = game_.preview().takeSnapshots(headPath, bodyPath);
        platform::installClockSource(nullptr);
        return written;
    }

private:
    PreviewGame& game_;
};

void runCreate(const CreateOptions& o) {
    const Character d = loadCharacterDescription(o.character);
    const std::string templatePath = o.templatePath.empty() ? defaultTemplatePath() : o.templatePath;
    checkCreateArguments(o, templatePath);

    exchange::SaveRequest request;
    request.chosenPath = absolutePath(o.out);
    request.gameFolder = absolutePath(o.game);
    request.templatePath = absolutePath(templatePath);

    // The snapshots come from the preview of the character on the game
    // folder, dressed in exactly the look the date is given. Without a
    // preview the rest is still written. The preview's set-up seeds the
    // generator for its own repeatable pictures; the generator as the
    // program's start seeded it is kept for the date's identifiers.
    formats::ImageLibrarySession images;
    const std::uint32_t generator = platform::randomState();
    std::unique_ptr<PreviewGame> preview;
    try {
        preview = std::make_unique<PreviewGame>(request.gameFolder, preview::kPreviewWidth,
                                                preview::kPreviewHeight, kSnapshotSeed);
        preview->showLook(d);
        preview->wearExactly(d.appearance);
    } catch (const CommandError& e) {
        fmt::print(stderr, "tryster-cli: no snapshots: {}\n", e.what());
        preview.reset();
    }
    platform::seedRandom(generator);

    exchange::SkinFileList skinFiles;
    PrintingReporter reporter;
    exchange::SaveResult result;
    finishInterrupted(request.gameFolder, false, false);
    share::GameChange change(request.gameFolder, share::ChangeKind::NewDate);
    if (!change.ready()) throw CommandError(fmt::format("{}: {}", o.game, change.reason()));
    if (preview) {
        // The save reads the system's clock (the identifiers' tick and
        // time); only the snapshots are drawn on the preview's own.
        SnapshotsOnOwnClock snapshots(*preview);
        const SystemClockScope systemClock(preview->clock());
        result = exchange::runSaveSequence(request, d, skinFiles, reporter, &snapshots, change);
    } else {
        result = exchange::runSaveSequence(request, d, skinFiles, reporter, nullptr, change);
    }
    tellRecorded(request.gameFolder, change.recordedId());
    for (const std::string& path : result.filesWritten) fmt::print("{}\n", path);
    // What went wrong was told above, in the program's own message.
    const std::string base = exchange::basePathOf(request.chosenPath);
    if (!result.dateWritten)
        fail(base + std::string(exchange::kDateExtension), "the new date written", "it was not; see the message above");
    if (!result.webExchangeWritten)
        fail(request.chosenPath, "the web export file written", "it was not; see the message above");
}

// ---- show

std::unique_ptr<StdResFile> openDate(const std::string& path) {
    auto file = std::make_unique<StdResFile>();
    file->setOpenReadOnly(true);
    if (!platform::fileSystem().exists(path) || platform::fileSystem().isDirectory(path))
        fail(path, resfile::kContainerExpected, resfile::describeContents(path));
    if (ResError error = openByContent(*file, path, true); error != kNoError)
        throw CommandError(resfile::openProblem(path, resfile::kContainerExpected, error));
    return file;
}

ordered_json constantsJson(iResFile& file) {
    exchange::cTreeConstants constants;
    if (ResError error = constants.load(file, exchange::kDateConstantsId); error != kNoError)
        return {{"error", describeError(error)}};
    exchange::DateConstants c;
    if (!exchange::readDateConstants(constants, c))
        return {{"error", fmt::format("{} constants, fewer than {}", constants.count(), exchange::kDateConstantCount)}};
    ordered_json out;
    out["careerTrack"] = c.careerTrack;
    out["career"] = c.careerTrack >= 0 && c.careerTrack < kCareerCount
                        ? std::string(kCareerNames[static_cast<std::size_t>(c.careerTrack)])
                        : std::string("none");
    out["careerLevel"] = c.careerLevel;
    ordered_json traits;
    for (int t = 0; t < kTraitCount; ++t)
        traits[std::string(kTraitLabels[static_cast<std::size_t>(t)])] = c.personality[static_cast<std::size_t>(t)];
    out["personality"] = traits;
    ordered_json interests;
    for (int id = 0; id < kInterestCount; ++id)
        interests[std::string(kInterestNames[static_cast<std::size_t>(id)])] = c.interestLevels[static_cast<std::size_t>(id)];
    out["interests"] = interests;
    return out;
}

ordered_json appearanceJson(iResFile& file) {
    StringSet strings;
    if (ResError error = strings.Load(&file, exchange::kAppearanceListId, false); error != kNoError)
        return {{"error", describeError(error)}};
    ordered_json out = ordered_json::object();
    for (int n = 1; n <= strings.Count(); ++n) out[std::to_string(n)] = utf8(*strings.GetString(n));
    return out;
}

ordered_json objectsJson(iResFile& file) {
    ordered_json out = ordered_json::array();
    const int count = file.CountResources(exchange::kTypeObjectDefinition);
    for (int i = 1; i <= count; ++i) {
        DataHandle h = file.GetIndResource(exchange::kTypeObjectDefinition, static_cast<std::int16_t>(i), nullptr);
        if (!h) continue;
        ordered_json o;
        std::int16_t id = 0;
        std::string name;
        (void)file.GetResID(h, id);  // the file's own handle: it cannot fail
        (void)file.GetResName(h, name);  // the file's own handle: it cannot fail
        bool native = file.IsNativeOrder(h);
        o["id"] = id;
        o["name"] = utf8(name);
        auto hex = [](std::optional<std::uint32_t> v) { return v ? fmt::format("0x{:08X}", *v) : std::string("none"); };
        o["identifier"] = hex(exchange::readObjectField(handleBytes(h), exchange::kObjectIdentifierOffset, native));
        o["previousIdentifier"] =
            hex(exchange::readObjectField(handleBytes(h), exchange::kPreviousIdentifierOffset, native));
        (void)ReleaseAndDispose(file, h);  // the data is read; what the file keeps, it disposes
        out.push_back(o);
    }
    return out;
}

// The web export file of the date's base name: "Bob.iff" and "Bob.srf".
std::optional<std::string> exchangeFileOf(const std::string& datePath) {
    if (datePath.size() <= exchange::kDateExtension.size() ||
        !platform::equalsNoCase(datePath.substr(datePath.size() - exchange::kDateExtension.size()),
                                exchange::kDateExtension))
        return std::nullopt;
    std::string srf = datePath.substr(0, datePath.size() - exchange::kDateExtension.size()) +
                      std::string(exchange::kWebExchangeExtension);
    if (!platform::fileSystem().exists(srf)) return std::nullopt;
    return srf;
}

// A damaged date shows what can be read, with the damage as "error"; the
// damage, and whether it left nothing to read, in `damage` and `nothing`.
ordered_json showJson(const std::string& path, std::optional<resfile::FileProblem>& damage, bool& nothing) {
    auto file = openDate(path);
    if (const resfile::ContainerDamage d = damageOf(*file)) damage = resfile::damageProblem(path, d);
    nothing = file->CountTypes() == 0;
    ordered_json out;
    out["file"] = path;
    exchange::CatalogName catalog;
    if (ResError error = catalog.load(*file, exchange::kCatalogNameId); error != kNoError)
        out["catalog"] = {{"error", describeError(error)}};
    else
        out["catalog"] = {{"name", utf8(catalog.name)}, {"description", utf8(catalog.description)}};
    out["constants"] = constantsJson(*file);
    out["appearance"] = appearanceJson(*file);
    out["objects"] = objectsJson(*file);
    (void)file->Close();  // only read: nothing to write
    if (auto srf = exchangeFileOf(path)) {
        ordered_json keys = ordered_json::object();
        if (auto read = exchange::readWebExchangeKeys(*srf))
            for (const auto& [key, value] : *read) keys[utf8(key)] = utf8(value);
        out["webExchange"] = {{"file", *srf}, {"keys", keys}};
    }
    if (damage) out["error"] = problemJson(*damage);
    return out;
}

// Plain text: one "key: value" line per leaf, nested keys joined by '.'.
void printText(const ordered_json& value, const std::string& prefix) {
    if (value.is_object()) {
        for (const auto& [key, item] : value.items()) printText(item, prefix.empty() ? key : prefix + "." + key);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) printText(value[i], fmt::format("{}[{}]", prefix, i));
    } else if (value.is_string()) {
        fmt::print("{}: {}\n", prefix, value.get<std::string>());
    } else {
        fmt::print("{}: {}\n", prefix, value.dump());
    }
}

void runShow(const ShowOptions& o) {
    std::optional<resfile::FileProblem> damage;
    bool nothing = false;
    ordered_json out = showJson(o.file, damage, nothing);
    if (!o.json) out.erase("error");  // it goes to standard error
    if (o.json) printJson(out);
    else printText(out, "");
    if (!damage) return;
    if (!nothing) return printWarning(*damage);
    CommandError error(*damage);
    error.inOutput = o.json;
    throw error;
}

}  // namespace

void addDateCommand(CLI::App& app) {
    CLI::App* date = app.add_subcommand(
        "date", "Create a new date character, show what a date file holds, and share dates as one file");
    date->require_subcommand(1);

    auto create = std::make_shared<CreateOptions>();
    CLI::App* c =
        date->add_subcommand("create",
                             "Write a new date from the template, its web export file, skin file list and "
                             "snapshots, as the program's Save does");
    c->add_option("--game", create->game,
                  "The game's install folder (skins are looked up under GameData/Skins)")
        ->required();
    c->add_option("--character", create->character, "Character description (JSON)")->required();
    c->add_option("--out", create->out, "The web export file to write (.srf); the date is written beside it")
        ->required();
    c->add_option("--template", create->templatePath,
                  "Template file (default: TR_Template.iff in the current folder, else in the program's data "
                  "folder)");
    c->callback([create] { runCreate(*create); });

    auto show = std::make_shared<ShowOptions>();
    CLI::App* s = date->add_subcommand("show", "Print a date file's name, constants, appearance strings and objects");
    s->add_option("FILE", show->file, "Date file (.iff)")->required();
    s->add_flag("--json", show->json, "Print JSON");
    s->callback([show] { runShow(*show); });

    addDateShareCommands(*date);
}

}  // namespace tryster::cli
