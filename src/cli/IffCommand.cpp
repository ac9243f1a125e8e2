// tryster-cli iff: looks into and changes container files of any version
// (2.5, 2.0, 1.0) and resource directories, opened the way the program
// opens them: ".iff" as version 2.x, else as 1.0, and a ".dir" folder; a
// file under another extension (a backup) is read as an ".iff".
//
//   iff list FILE [--json]
//   iff get FILE TYPE ID [--variant V] [-o OUT]
//   iff put FILE TYPE ID [--variant V] [--name NAME] [--native] -i IN
//   iff rm FILE TYPE ID [--variant V]
//   iff strings FILE ID [--type T] [--language L] [--all-languages] [--json]
//
// put and rm change a container all or nothing: the edit is made on a copy
// beside it, which replaces it only when everything succeeded.
//
// A file is read as what it holds, whatever its name: version 2.x, else 1.0
// (a ".dir" folder is a resource directory). A container whose map or
// chunks run past its end is damaged: what can be read is read, with a
// warning; with nothing to read, the command fails.
//
// TYPE is four characters or "0x" and eight hex digits. Data is shown as
// stored on disk (no byte-order conversion). Texts of the game are single
// bytes: JSON shows bytes 0x80-0xFF as the characters U+0080-U+00FF, plain
// output as \xNN.

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/OpenContainer.h"
#include "cli/TextOutput.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"
#include "platform/StagedFile.h"
#include "resfile/FileHeaders.h"
#include "resfile/IFFResFile.h"
#include "resfile/IFFResFile2.h"
#include "resfile/ResolveResFile.h"
#include "resfile/StdResFile.h"
#include "resfile/StringSet.h"
#include "resfile/StringSetMulti.h"

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace tryster::cli {
namespace {

using namespace resfile;

struct IffOptions {
    std::string file;
    std::string type;
    int id = 0;
    int variant = 0;
    std::string name;
    bool native = false;
    std::string in;
    std::string out;
    bool json = false;
    std::string stringType;
    int language = 0;
    bool allLanguages = false;
};

// What `iff` opens.
constexpr std::string_view kContainerOrDirectory =
    "a container file of the game, which starts with \"IFF FILE 2.5:TYPE FOLLOWED BY SIZE\" (or 2.0 or 1.0), or "
    "a resource directory (a folder named .dir)";

[[noreturn]] void fail(std::string_view file, std::string expected, std::string found, ResError error) {
    throw CommandError(resfile::FileProblem{std::string(file), std::move(expected), std::move(found), error});
}

ResType typeArgument(const std::string& text) {
    auto type = parseType(text);
    if (!type)
        throw CommandError(fmt::format("type \"{}\": expected four characters or 0x and eight hex digits", text));
    return *type;
}

std::unique_ptr<StdResFile> openFile(const std::string& path, bool readOnly) {
    auto file = std::make_unique<StdResFile>();
    file->setOpenReadOnly(readOnly);
    auto& files = platform::fileSystem();
    // A file under any name (a backup such as "User00001.iff.bak", or none)
    // is read as what it holds; only a ".dir" folder goes by the rules.
    const ResError error = files.exists(path) && !files.isDirectory(path) ? openByContent(*file, path, readOnly)
                                                                         : file->Open(path);
    if (error == kNoError) return file;
    FileProblem problem = resfile::openProblem(path, kContainerOrDirectory, error);
    if (files.isDirectory(path) && platform::fileType(path) != "DIR") problem.found = "a folder not named .dir";
    throw CommandError(problem);
}

std::string formatOf(StdResFile& file) {
    iResFile* member = file.GetMember(0);
    if (auto* v2 = dynamic_cast<IFFResFile2*>(member))
        return v2->formatVersion() == kVersion20 ? "2.0" : "2.5";
    if (dynamic_cast<IFFResFile*>(member)) return "1.0";
    return "dir";
}

struct Listed {
    std::int16_t id = 0;
    int variant = 0;
    std::string name;
    bool native = false;
    std::size_t size = 0;
    ResError error = kNoError;
};

// A damaged file lists what can be read, with a warning; the command fails
// when a resource cannot be read, or when the damage left nothing to list.
// With --json the document carries the problem as "error".
void runList(const IffOptions& o) {
    auto file = openFile(o.file, true);
    nlohmann::ordered_json types = nlohmann::ordered_json::array();
    std::string text = fmt::format("format {}\n", formatOf(*file));
    int failures = 0;
    int listed = 0;
    ResError firstFailure = kNoError;
    for (std::int16_t t = 1; t <= file->CountTypes(); ++t) {
        ResType type = file->GetIndType(t);
        nlohmann::ordered_json resources = nlohmann::ordered_json::array();
        text += fmt::format("{} {}\n", typeText(type), typeHex(type));
        for (std::int16_t i = 1; i <= file->CountResources(type); ++i) {
            Listed r;
            DataHandle h = file->GetIndResource(type, i, nullptr);
            if (!h) {
                r.error = file->lastError();
                if (failures++ == 0) firstFailure = r.error;
                resources.push_back({{"position", i}, {"error", describeError(r.error)}});
                text += fmt::format("  #{}: {}\n", i, describeError(r.error));
                continue;
            }
            (void)file->GetResID(h, r.id);  // the file's own handle: it cannot fail
            r.variant = file->GetResVariant(h);
            (void)file->GetResName(h, r.name);  // the file's own handle: it cannot fail
            r.native = file->IsNativeOrder(h);
            r.size = GetDataHandleSize(h);
            (void)ReleaseAndDispose(*file, h);  // the data is read; what the file keeps, it disposes
            ++listed;
            resources.push_back({{"id", r.id}, {"variant", r.variant}, {"name", utf8(r.name)}, {"native", r.native},
                                 {"size", r.size}});
            text += fmt::format("  id={} variant={} size={} native={} name=\"{}\"\n", r.id, r.variant, r.size,
                                r.native ? "yes" : "no", escaped(r.name));
        }
        types.push_back({{"type", typeText(type)}, {"code", typeHex(type)}, {"resources", resources}});
    }
    std::optional<FileProblem> damage;
    if (const ContainerDamage d = damageOf(*file)) damage = resfile::damageProblem(o.file, d);
    std::optional<FileProblem> failure;
    if (failures)
        failure = FileProblem{o.file, "every resource it lists to be readable",
                              fmt::format("{} that cannot be read", failures == 1 ? std::string("one")
                                                                                  : std::to_string(failures)),
                              firstFailure};
    if (!failure && damage && listed == 0) failure = damage;
    if (o.json) {
        nlohmann::ordered_json out;
        out["format"] = formatOf(*file);
        out["types"] = types;
        if (failure || damage) out["error"] = problemJson(failure ? *failure : *damage);
        printJson(out);
    } else {
        fmt::print("{}", text);
    }
    (void)file->Close();  // only read: nothing to write
    if (damage && failure != damage) printWarning(*damage);
    if (failure) {
        CommandError error(*failure);
        error.inOutput = o.json;
        throw error;
    }
}

// "the resource STR# 200" or "the resource TEXT 5 of variant 2".
std::string describeResource(const IffOptions& o) {
    return fmt::format("the resource {} {}{}", o.type, o.id, o.variant ? fmt::format(" of variant {}", o.variant) : "");
}

// A resource the file lacks or cannot give; a damaged file says so, as the
// resource may lie in what cannot be read.
[[noreturn]] void failResource(const IffOptions& o, StdResFile& file, ResError error) {
    std::string found = error == kResNotFound ? "no such resource" : "it cannot be read";
    if (const ContainerDamage d = damageOf(file))
        found += "; the file is damaged: " + resfile::describeDamage(d);
    fail(o.file, describeResource(o), std::move(found), error);
}

// The resource of exactly that variant (a container answers variant 0 for
// a variant it does not have).
DataHandle findExact(StdResFile& file, ResType type, const IffOptions& o) {
    const auto variant = static_cast<std::uint8_t>(o.variant);
    DataHandle h = file.GetVariantResource(type, static_cast<std::int16_t>(o.id), variant, nullptr);
    if (!h) failResource(o, file, file.lastError());
    if (file.GetResVariant(h) != variant) failResource(o, file, kResNotFound);
    return h;
}

void runGet(const IffOptions& o) {
    ResType type = typeArgument(o.type);
    auto file = openFile(o.file, true);
    DataHandle h = findExact(*file, type, o);
    auto data = handleBytes(h);
    if (!o.out.empty()) {
        if (!platform::writeWholeFile(o.out, data.data(), data.size()))
            fail(o.out, "a file the data can be written to", platform::fileSystem().isDirectory(o.out)
                                                                 ? "a folder"
                                                                 : "the write failed",
                 kNoError);
    } else if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size()) {
        throw CommandError("cannot write to standard output");
    }
    (void)ReleaseAndDispose(*file, h);  // the data is read; what the file keeps, it disposes
    (void)file->Close();  // only read: nothing to write
}

// An edit is made on a copy beside the file, which replaces the file in one
// step only when the edit and its close succeeded, as the program writes
// its own files: a refusal, a full disk or a crash leaves the file byte for
// byte. A resource directory takes no writes (each is refused), so it is
// opened in place. `edit` throws CommandError on failure.
constexpr std::string_view kStagedSuffix = ".new";

[[noreturn]] void failWrite(const std::string& file, ResError error) {
    fail(file, "room to write the changed copy beside it and move it into place",
         "the disk refused it, so the file is as it was", error);
}

void editStaged(const IffOptions& o, const std::function<void(StdResFile&)>& edit) {
    if (platform::fileSystem().isDirectory(o.file)) {
        auto file = openFile(o.file, false);
        edit(*file);
        if (ResError error = file->Close(); error != kNoError) failWrite(o.file, error);
        return;
    }
    // The file itself is opened first, so a missing, unreadable or
    // read-only file answers as it always did; nothing is changed in it.
    bool writable = false;
    {
        auto original = openFile(o.file, false);
        writable = original->IsWritable();
        (void)original->Close();  // nothing changed: nothing to write
    }
    // Opened as the file would be: by the rules for an extension of its own.
    platform::StagedFile staged(o.file, kStagedSuffix);
    staged.discard();  // what an interrupted run left there
    if (!platform::copyFile(o.file, staged.path())) failWrite(o.file, kShortWrite);
    auto file = openFile(staged.path(), !writable);
    edit(*file);
    if (ResError error = file->Close(); error != kNoError) failWrite(o.file, error);
    if (!staged.commit()) failWrite(o.file, kFileError);
}

void runPut(const IffOptions& o) {
    ResType type = typeArgument(o.type);
    if (o.name.size() > kMaxNameLength) throw CommandError("--name: at most 63 characters");
    auto bytes = platform::readWholeFile(o.in);
    if (!bytes) fail(o.in, "a file holding the data to put", resfile::describeContents(o.in), kNoError);
    editStaged(o, [&](StdResFile& file) {
        if (!file.IsWritable()) fail(o.file, "a file that can be written", "a read-only one", kNotWritable);
        DataHandle h = newHandleWith(*bytes);
        if (!h) fail(o.in, "data that fits in memory", fmt::format("{} bytes", bytes->size()), LastHandleError());
        ResError error = file.AddVariantResource(h, type, static_cast<std::int16_t>(o.id), o.name,
                                                 static_cast<std::uint8_t>(o.variant), o.native);
        if (error != kNoError) {
            (void)DisposeDataHandle(h);  // ours and live: it cannot fail
            fail(o.file, "to take " + describeResource(o), "the file refused it", error);
        }
        if ((error = file.WriteResource(h)) != kNoError)
            fail(o.file, "to take " + describeResource(o), "the file refused it", error);
    });
}

void runRemove(const IffOptions& o) {
    ResType type = typeArgument(o.type);
    editStaged(o, [&](StdResFile& file) {
        DataHandle h = findExact(file, type, o);
        if (ResError error = file.RemoveResource(h); error != kNoError)
            fail(o.file, "to give up " + describeResource(o), "the file refused it", error);
    });
}

// Without --type: "STR#", else the caret text form, as the program loads
// string sets.
void runStrings(const IffOptions& o) {
    auto file = openFile(o.file, true);
    std::unique_ptr<StringSetBase> set;
    if (o.allLanguages) set = std::make_unique<StringSetMulti>();
    else set = std::make_unique<StringSet>();
    auto id = static_cast<std::uint16_t>(o.id);
    ResError error;
    if (!o.stringType.empty()) {
        ResType type = typeArgument(o.stringType);
        set->Setup(file.get(), id, type, type == kTypeCaretText, o.language);
        error = set->Read(o.allLanguages, true);
    } else {
        set->Setup(file.get(), id, kTypeStringList, false, o.language);
        error = set->Read(o.allLanguages, true);
        if (error != kNoError) {
            set->Setup(file.get(), id, kTypeCaretText, true, o.language);
            error = set->Read(o.allLanguages, true);
        }
    }
    if (error != kNoError) {
        std::string found = error == kResNotFound ? "none" : "one that cannot be read";
        if (const ContainerDamage d = damageOf(*file))
            found += "; the file is damaged: " + resfile::describeDamage(d);
        fail(o.file, fmt::format("a string set {}", o.id), std::move(found), error);
    }

    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    std::string text = fmt::format("{} {} name=\"{}\"\n", typeText(set->type()), o.id, escaped(set->name()));
    for (int language = 0; language < 256; ++language) {
        auto l = static_cast<std::uint8_t>(language);
        if (language == kOwnLanguage) continue;
        for (int n = 1; n <= set->Count(l); ++n) {
            const std::string& s = *set->GetString(n, l);
            list.push_back({{"number", n}, {"language", language}, {"text", utf8(s)}});
            text += fmt::format("{} [{}] {}\n", n, language, escaped(s));
        }
    }
    if (o.json) {
        nlohmann::ordered_json out;
        out["id"] = o.id;
        out["type"] = typeText(set->type());
        out["name"] = utf8(set->name());
        out["strings"] = list;
        printJson(out);
    } else {
        fmt::print("{}", text);
    }
    (void)file->Close();  // only read: nothing to write
}

void addResourceArguments(CLI::App* cmd, IffOptions& o) {
    cmd->add_option("FILE", o.file, "Container file (.iff) or resource directory (.dir)")->required();
    cmd->add_option("TYPE", o.type, "Resource type: four characters or 0x and eight hex digits")->required();
    cmd->add_option("ID", o.id, "Resource id")->required()->check(CLI::Range(-32768, 32767));
    cmd->add_option("--variant", o.variant, "Variant (0 is the ordinary resource)")->check(CLI::Range(0, 255));
}

}  // namespace

void addIffCommand(CLI::App& app) {
    auto o = std::make_shared<IffOptions>();
    CLI::App* iff = app.add_subcommand("iff", "Look into and change the game's container files (2.5, 2.0, 1.0)");
    iff->require_subcommand(1);

    CLI::App* list = iff->add_subcommand("list", "List the format and every resource: type, id, variant, name, "
                                                 "byte order and data size");
    list->add_option("FILE", o->file, "Container file (.iff) or resource directory (.dir)")->required();
    list->add_flag("--json", o->json, "Print JSON");
    list->callback([o] { runList(*o); });

    CLI::App* get = iff->add_subcommand("get", "Write a resource's data as stored on disk");
    addResourceArguments(get, *o);
    get->add_option("-o,--output", o->out, "Output file (default: standard output)");
    get->callback([o] { runGet(*o); });

    CLI::App* put = iff->add_subcommand(
        "put", "Add or replace a resource and write the file (a variant the file lacks takes over the "
               "variant-0 resource of that id, as containers do)");
    addResourceArguments(put, *o);
    put->add_option("--name", o->name, "Resource name (at most 63 characters)");
    put->add_flag("--native", o->native, "The data is in little-endian order");
    put->add_option("-i,--input", o->in, "File holding the data")->required();
    put->callback([o] { runPut(*o); });

    CLI::App* rm = iff->add_subcommand("rm", "Remove a resource and write the file");
    addResourceArguments(rm, *o);
    rm->callback([o] { runRemove(*o); });

    CLI::App* strings = iff->add_subcommand("strings", "Show a string set: number, language and text of each string");
    strings->add_option("FILE", o->file, "Container file (.iff) or resource directory (.dir)")->required();
    strings->add_option("ID", o->id, "String set id")->required()->check(CLI::Range(0, 65535));
    strings->add_option("--type", o->stringType, "Type of the set (default: STR#, else the caret text form)");
    strings->add_option("--language", o->language, "Language code (default 0)")->check(CLI::Range(0, 254));
    strings->add_flag("--all-languages", o->allLanguages, "Every language of the set");
    strings->add_flag("--json", o->json, "Print JSON");
    strings->callback([o] { runStrings(*o); });
}

}  // namespace tryster::cli
