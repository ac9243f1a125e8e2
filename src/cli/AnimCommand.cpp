// tryster-cli anim: the game's character assets as the preview sees them.
//   anim scan     what the character library found
//   anim frames   an animation's decoded frame pools
//   anim convert  between the text and binary character and mesh files
//   anim pose, anim skin (AnimPoseCommand.cpp)

#include "cli/AnimGame.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/TextOutput.h"

#include "anim/SkinMeshFile.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>

namespace tryster::cli {
namespace {

struct ScanOptions {
    std::string game;
    bool json = false;
};

template <typename T>
std::vector<const anim::LibraryEntry<T>*> sortedEntries(const anim::CharacterLibrary::Table<T>& table) {
    std::vector<const anim::LibraryEntry<T>*> out;
    for (const auto& entry : table) out.push_back(&entry);
    std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->name < b->name; });
    return out;
}

void runScan(const ScanOptions& options) {
    AnimGame game(options.game, false);
    anim::CharacterLibrary& library = game.library();
    FloatJson json = FloatJson::object();
    auto section = [&](const char* title, const auto& table) {
        auto entries = sortedEntries(table);
        if (options.json) {
            FloatJson list = FloatJson::array();
            for (const auto* e : entries)
                list.push_back({{"name", utf8(e->name)}, {"file", AnimGame::fileOf(*e)}, {"loaded", e->loaded}});
            json[title] = std::move(list);
            return;
        }
        fmt::print("{}: {}\n", title, entries.size());
        for (const auto* e : entries)
            fmt::print("  {}  {}{}\n", e->name, AnimGame::fileOf(*e), e->loaded ? "" : "  (not loaded)");
    };
    section("skeletons", library.skeletons());
    section("outfits", library.outfits());
    section("animations", library.animations());
    if (options.json) printJson(json);
}

struct FramesOptions {
    std::string game;
    std::string animation;
    bool json = false;
};

void runFrames(const FramesOptions& options) {
    AnimGame game(options.game, false);
    anim::Animation* a = game.library().findAnimation(options.animation);
    if (!a) throw CommandError(fmt::format("no animation named \"{}\"", options.animation));
    if (!a->loadFrames())
        throw CommandError(
            fmt::format("the frames of \"{}\" (\"{}\", {} translations, {} rotations) cannot be read",
                        a->name, a->dataName, a->translationCount, a->rotationCount));
    if (options.json) {
        FloatJson json;
        json["translations"] = FloatJson::array();
        for (const auto& t : a->translations()) json["translations"].push_back(toJson(t));
        json["rotations"] = FloatJson::array();
        for (const auto& q : a->rotations()) json["rotations"].push_back(toJson(q));
        printJson(json);
        return;
    }
    fmt::print("translations: {}\n", a->translations().size());
    for (std::size_t i = 0; i < a->translations().size(); ++i) {
        const auto& t = a->translations()[i];
        fmt::print("  {}: {} {} {}\n", i, t.x, t.y, t.z);
    }
    fmt::print("rotations: {}\n", a->rotations().size());
    for (std::size_t i = 0; i < a->rotations().size(); ++i) {
        const auto& q = a->rotations()[i];
        fmt::print("  {}: {} {} {} {}\n", i, q.x, q.y, q.z, q.w);
    }
}

struct ConvertOptions {
    std::string in;
    std::string out;
};

std::string where(const std::string& path, bool text, const anim::FormatStatus& s) {
    return fmt::format("{}: {} ({} {})", path, s.message, text ? "line" : "byte", s.position);
}

void runConvert(const ConvertOptions& options) {
    const std::string from = platform::fileType(options.in), to = platform::fileType(options.out);
    const bool characters = (from == "CMX" || from == "BCF") && (to == "CMX" || to == "BCF");
    const bool meshes = (from == "SKN" || from == "BMF") && (to == "SKN" || to == "BMF");
    if (!characters && !meshes)
        throw CommandError(
            fmt::format("cannot convert .{} to .{} (character files: .cmx and .bcf; meshes: .skn and .bmf)",
                        platform::toLower(from), platform::toLower(to)));
    auto bytes = platform::readWholeFile(options.in);
    if (!bytes)
        throw CommandError(resfile::FileProblem{options.in, "a file to convert", resfile::describeContents(options.in)});
    const bool textIn = from == "CMX" || from == "SKN";
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());

    std::vector<std::uint8_t> out;
    anim::FormatStatus written;
    if (characters) {
        anim::CharacterFileContents contents;
        anim::FormatStatus read =
            textIn ? anim::readCharacterText(text, contents) : anim::readCharacterBinary(*bytes, contents);
        if (!read.ok) throw CommandError(where(options.in, textIn, read));
        if (to == "CMX") {
            std::string s;
            written = anim::writeCharacterText(contents, s);
            out.assign(s.begin(), s.end());
        } else {
            written = anim::writeCharacterBinary(contents, out);
        }
    } else {
        anim::Ref<anim::SkinMesh> mesh;
        anim::FormatStatus read =
            textIn ? anim::readSkinMeshText(text, mesh) : anim::readSkinMeshBinary(*bytes, mesh);
        if (!read.ok) throw CommandError(where(options.in, textIn, read));
        if (to == "SKN") {
            std::string s;
            written = anim::writeSkinMeshText(*mesh, s);
            out.assign(s.begin(), s.end());
        } else {
            written = anim::writeSkinMeshBinary(*mesh, out);
        }
    }
    if (!written.ok) throw CommandError(fmt::format("{}: {}", options.out, written.message));
    if (!platform::writeWholeFile(options.out, out.data(), out.size()))
        throw CommandError(fmt::format("cannot write {}", options.out));
}

}  // namespace

void addAnimCommand(CLI::App& app) {
    CLI::App* anim =
        app.add_subcommand("anim", "Inspect the game's skeletons, outfits, meshes and animations");
    anim->require_subcommand(1);

    auto scan = std::make_shared<ScanOptions>();
    CLI::App* cmd =
        anim->add_subcommand("scan", "List the skeletons, outfits and animations the game's folders define");
    cmd->add_option("--game", scan->game, "The game's install folder")->required();
    cmd->add_flag("--json", scan->json, "Print JSON");
    cmd->callback([scan] { runScan(*scan); });

    auto frames = std::make_shared<FramesOptions>();
    cmd = anim->add_subcommand("frames", "Print an animation's decoded translation and rotation pools");
    cmd->add_option("--game", frames->game, "The game's install folder")->required();
    cmd->add_option("--anim", frames->animation, "Animation name")->required();
    cmd->add_flag("--json", frames->json, "Print JSON");
    cmd->callback([frames] { runFrames(*frames); });

    auto convert = std::make_shared<ConvertOptions>();
    cmd = anim->add_subcommand(
        "convert", "Convert a character file (.cmx, .bcf) or a mesh (.skn, .bmf), by the extensions");
    cmd->add_option("IN", convert->in, "File to read")->required();
    cmd->add_option("OUT", convert->out, "File to write")->required();
    cmd->callback([convert] { runConvert(*convert); });

    addAnimPoseCommands(*anim);
}

}  // namespace tryster::cli
