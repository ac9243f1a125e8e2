#include "share/History.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "share/GameWrites.h"
#include "share/JsonFields.h"
#include "share/PackPath.h"
#include "share/ShownText.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

namespace tryster::share {
namespace {

using formats::JsonValue;
using namespace json_fields;

// Far beyond any player's count of changes; keeps a damaged file from
// being read without end.
constexpr std::uint64_t kMaxHistoryBytes = 16ull << 20;

constexpr std::array<std::pair<ChangeKind, std::string_view>, 5> kKinds = {{
    {ChangeKind::NewDate, "new-date"},
    {ChangeKind::TownieReplaced, "townie-replaced"},
    {ChangeKind::Restyled, "restyled"},
    {ChangeKind::Installed, "installed"},
    {ChangeKind::Undone, "undone"},
}};
constexpr std::array<std::pair<FileRole, std::string_view>, 5> kRoles = {{
    {FileRole::Added, "added"},
    {FileRole::Replaced, "replaced"},
    {FileRole::Shared, "shared"},
    {FileRole::Removed, "removed"},
    {FileRole::Restored, "restored"},
}};

bool isDigest(std::string_view text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

bool hasExtension(std::string_view path, std::string_view extensions) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('\\', dot) != std::string_view::npos) return false;
    const std::string extension = platform::toLower(path.substr(dot)) + " ";
    return extensions.find(extension) != std::string_view::npos;
}

bool roleFits(ChangeKind kind, FileRole role);

}  // namespace

// The files each kind of change writes; an entry naming any other file is
// refused, so an undo never removes a file such a change cannot have made.
bool isPathOfKind(ChangeKind kind, std::string_view path) {
    if (!gamePathProblem(path).empty()) return false;
    switch (kind) {
    case ChangeKind::Installed: {
        const PackPathCheck check = checkFileName(path);
        return check.path && check.path->kind != PackFileKind::Manifest && check.path->path == path;
    }
    case ChangeKind::NewDate: return hasExtension(path, ".iff .srf .jpg ");
    case ChangeKind::TownieReplaced:
    case ChangeKind::Restyled: return hasExtension(path, ".iff ");
    case ChangeKind::Undone: return hasExtension(path, ".iff .srf .jpg .cmx .bcf .skn .bmf .bmp ");
    }
    return false;
}

namespace {

bool roleFits(ChangeKind kind, FileRole role) {
    switch (kind) {
    case ChangeKind::Installed: return role == FileRole::Added || role == FileRole::Replaced || role == FileRole::Shared;
    case ChangeKind::NewDate: return role == FileRole::Added || role == FileRole::Replaced || role == FileRole::Removed;
    case ChangeKind::TownieReplaced:
    case ChangeKind::Restyled: return role == FileRole::Replaced;
    case ChangeKind::Undone: return role == FileRole::Removed || role == FileRole::Restored;
    }
    return false;
}

std::optional<ChangedFile> fileFromJson(const JsonValue& value, ChangeKind kind, std::string& problem) {
    ChangedFile f;
    f.path = stringOf(value, "path");
    f.sha256 = stringOf(value, "sha256");
    f.backup = stringOf(value, "backup");
    f.replacedSha256 = stringOf(value, "replacedSha256");
    const std::optional<FileRole> role = valueOf(kRoles, stringOf(value, "role"));
    if (!isPathOfKind(kind, f.path)) {
        problem = "names a file outside the game folder, or one such a change does not write: " +
                  quotedName(f.path);
        return std::nullopt;
    }
    if (!role || !roleFits(kind, *role)) {
        problem = "says something of " + f.path + " that such a change does not do";
        return std::nullopt;
    }
    f.role = *role;
    // Which fields each role needs: a digest of the bytes there, a backup.
    const bool needsDigest = f.role != FileRole::Removed || f.backup.empty();
    const bool needsBackup = f.role == FileRole::Replaced || (f.role == FileRole::Removed && kind != ChangeKind::Undone);
    const bool mayHaveBackup = needsBackup || f.role == FileRole::Removed || f.role == FileRole::Restored;
    if ((needsDigest || !f.sha256.empty()) && !isDigest(f.sha256)) {
        problem = "has a digest of " + f.path + " that is not 64 hexadecimal digits";
        return std::nullopt;
    }
    if (needsBackup || (mayHaveBackup && !f.backup.empty())) {
        if (!isBackupName(f.backup, f.path)) {
            problem = "names a backup of " + f.path + " that is not named after it";
            return std::nullopt;
        }
        if (!isDigest(f.replacedSha256)) {
            problem = "has a digest of the backup of " + f.path + " that is not 64 hexadecimal digits";
            return std::nullopt;
        }
    } else if (!f.backup.empty()) {
        problem = "names a backup of " + f.path + ", which such a change does not keep";
        return std::nullopt;
    }
    return f;
}

// Version 1's record of an install, which names no kind, id or time.
JsonValue asVersion2Install(const JsonValue& record, std::int64_t id) {
    JsonValue out = record;
    out.add("id", JsonValue::of(id));
    out.add("kind", JsonValue::of("installed"));
    return out;
}

std::string absoluteOf(std::string_view path) {
    std::filesystem::path p(std::string{path});
    if (p.is_relative()) p = std::filesystem::path(platform::fileSystem().currentDirectory()) / p;
    return p.lexically_normal().string();
}

}  // namespace

std::string_view kindName(ChangeKind kind) { return textOf(kKinds, kind); }
std::optional<ChangeKind> kindNamed(std::string_view name) { return valueOf(kKinds, name); }
std::string_view roleName(FileRole role) { return textOf(kRoles, role); }

const ChangedFile* HistoryEntry::find(std::string_view path) const {
    for (const ChangedFile& f : files)
        if (caseKey(f.path) == caseKey(path)) return &f;
    return nullptr;
}

ChangedFile* HistoryEntry::find(std::string_view path) {
    return const_cast<ChangedFile*>(std::as_const(*this).find(path));
}

const HistoryEntry* History::entry(std::int64_t id) const {
    for (const HistoryEntry& e : entries)
        if (e.id == id) return &e;
    return nullptr;
}

HistoryEntry* History::entry(std::int64_t id) {
    return const_cast<HistoryEntry*>(std::as_const(*this).entry(id));
}

bool History::keepsBackup(std::string_view backup) const {
    const std::string key = caseKey(backup);
    for (const HistoryEntry& e : entries)
        for (const ChangedFile& f : e.files)
            if (!e.forgotten && e.undoneBy == 0 && !f.backup.empty() && caseKey(f.backup) == key) return true;
    return false;
}

const HistoryEntry* installedDate(const History& history, std::string_view date) {
    std::string key = caseKey(date);
    if (key.size() > 4 && key.ends_with(".iff")) key.resize(key.size() - 4);
    for (const HistoryEntry& e : history.entries)
        if (e.kind == ChangeKind::Installed && e.undoable() && caseKey(e.date) == key) return &e;
    return nullptr;
}

InstalledDate findInstalledDate(const History& history, std::string_view name) {
    InstalledDate out;
    // An empty name would match a date whose character has no name.
    if (name.find_first_not_of(' ') == std::string_view::npos) {
        out.problem = std::string(kNoDateNamed);
        return out;
    }
    if ((out.entry = installedDate(history, name))) return out;
    std::vector<const HistoryEntry*> installed, byName;
    for (const HistoryEntry& e : history.entries) {
        if (e.kind != ChangeKind::Installed || !e.undoable()) continue;
        installed.push_back(&e);
        if (e.name == name) byName.push_back(&e);
    }
    std::string names;
    for (const HistoryEntry* e : installed) names += (names.empty() ? "" : ", ") + e->date;
    if (names.empty()) names = "none";
    if (byName.size() == 1) out.entry = byName.front();
    else if (byName.empty())
        out.problem = "no shared date named " + quotedName(name) + " is installed (installed: " + names + ")";
    else
        out.problem = "several installed dates are called " + quotedName(name) + "; give the date's file name (" +
                      names + ")";
    return out;
}

JsonValue entryToJson(const HistoryEntry& entry) {
    JsonValue out = JsonValue::object();
    out.add("id", JsonValue::of(entry.id));
    out.add("kind", JsonValue::of(textOf(kKinds, entry.kind)));
    out.add("time", JsonValue::of(entry.time));
    out.add("name", JsonValue::of(entry.name));
    if (entry.kind == ChangeKind::Installed) {
        out.add("date", JsonValue::of(entry.date));
        out.add("pack", JsonValue::of(entry.pack));
    }
    if (entry.undoes) out.add("undoes", JsonValue::of(entry.undoes));
    if (entry.undoneBy) out.add("undoneBy", JsonValue::of(entry.undoneBy));
    if (entry.forgotten) out.add("forgotten", JsonValue::of(true));
    JsonValue& files = out.add("files", JsonValue::array());
    for (const ChangedFile& f : entry.files) {
        JsonValue& item = files.push(JsonValue::object());
        item.add("path", JsonValue::of(f.path));
        item.add("role", JsonValue::of(textOf(kRoles, f.role)));
        if (!f.sha256.empty()) item.add("sha256", JsonValue::of(f.sha256));
        if (!f.backup.empty()) {
            item.add("backup", JsonValue::of(f.backup));
            item.add("replacedSha256", JsonValue::of(f.replacedSha256));
        }
    }
    return out;
}

std::optional<HistoryEntry> entryFromJson(const JsonValue& value, std::string& problem) {
    HistoryEntry e;
    e.id = integerOf(value, "id");
    e.time = stringOf(value, "time");
    e.name = stringOf(value, "name");
    e.date = stringOf(value, "date");
    e.pack = stringOf(value, "pack");
    e.undoes = integerOf(value, "undoes");
    e.undoneBy = integerOf(value, "undoneBy");
    const JsonValue* forgotten = value.find("forgotten");
    e.forgotten = forgotten && forgotten->kind == JsonValue::Kind::Bool && forgotten->boolean;
    const std::optional<ChangeKind> kind = valueOf(kKinds, stringOf(value, "kind"));
    const JsonValue* files = value.find("files");
    if (e.id < 1 || !kind || !files || files->kind != JsonValue::Kind::Array) {
        problem = "has a change without its number, kind or files";
        return std::nullopt;
    }
    e.kind = *kind;
    if (!e.time.empty() && !platform::parseUtcTime(e.time)) {
        problem = "has a change whose time is not a time";
        return std::nullopt;
    }
    if (e.kind == ChangeKind::Installed && !isPathOfKind(e.kind, std::string(kDatesFolder) + "\\" + e.date + ".iff")) {
        problem = "has an install without the name of its date";
        return std::nullopt;
    }
    if ((e.kind == ChangeKind::Undone) != (e.undoes > 0) || e.undoes >= e.id || e.undoneBy < 0 ||
        (e.undoneBy > 0 && e.undoneBy <= e.id)) {
        problem = "has an undo that names no earlier change";
        return std::nullopt;
    }
    for (const JsonValue& item : files->items) {
        std::optional<ChangedFile> f = fileFromJson(item, e.kind, problem);
        if (!f) return std::nullopt;
        if (e.find(f->path)) {
            problem = "names " + f->path + " twice in one change";
            return std::nullopt;
        }
        e.files.push_back(std::move(*f));
    }
    return e;
}

std::string encodeHistory(const History& history) {
    JsonValue root = JsonValue::object();
    root.add("format", JsonValue::of(kHistoryFormat));
    root.add("version", JsonValue::of(kHistoryVersion));
    root.add("nextId", JsonValue::of(history.nextId));
    JsonValue& entries = root.add("entries", JsonValue::array());
    for (const HistoryEntry& e : history.entries) entries.push(entryToJson(e));
    return formats::formatJson(root);
}

HistoryReading decodeHistory(std::string_view text) {
    HistoryReading out;
    std::string error;
    std::optional<JsonValue> root = formats::parseJson(text, error);
    const JsonValue* format = root ? root->find("format") : nullptr;
    const JsonValue* version = root ? root->find("version") : nullptr;
    const std::int64_t number = version && version->asInteger() ? *version->asInteger() : 0;
    const JsonValue* list = root ? root->find(number == 1 ? "installs" : "entries") : nullptr;
    if (!format || !format->asString() || *format->asString() != kHistoryFormat || number < 1 || !list ||
        list->kind != JsonValue::Kind::Array) {
        out.problem = root ? "is not a record of Tryster's changes" : "is damaged: " + error;
        return out;
    }
    if (number > kHistoryVersion) {
        out.problem = "was written by a newer Tryster";
        return out;
    }
    History history;
    for (const JsonValue& item : list->items) {
        const std::int64_t older = history.entries.empty() ? 0 : history.entries.back().id;
        std::optional<HistoryEntry> e =
            entryFromJson(number == 1 ? asVersion2Install(item, older + 1) : item, out.problem);
        if (!e) return out;
        if (e->id <= older) {
            out.problem = "has its changes out of order";
            return out;
        }
        history.entries.push_back(std::move(*e));
    }
    const std::int64_t last = history.entries.empty() ? 0 : history.entries.back().id;
    history.nextId = number == 1 ? last + 1 : integerOf(*root, "nextId");
    if (history.nextId <= last) {
        out.problem = "gives the next change a number already used";
        return out;
    }
    out.history = std::move(history);
    return out;
}

bool isBackupName(std::string_view backup, std::string_view path) {
    if (backup.size() <= path.size() || !backup.starts_with(path)) return false;
    std::string_view rest = backup.substr(path.size());
    if (rest == ".bak") return true;
    if (!rest.starts_with('.') || !rest.ends_with(".bak")) return false;
    const std::string_view number = rest.substr(1, rest.size() - 5);
    return !number.empty() && number.size() <= 4 && number.front() != '0' &&
           number.find_first_not_of("0123456789") == std::string_view::npos && number != "1";
}

std::string historyPath(std::string_view gameFolder) { return platform::joinPath(gameFolder, kHistoryFileName); }

std::string localPath(std::string_view gameFolder, std::string_view gamePath) {
    return platform::toNativeSeparators(platform::joinPath(gameFolder, gamePath));
}

std::optional<std::string> gamePathOf(std::string_view gameFolder, std::string_view local) {
    const std::filesystem::path folder(absoluteOf(gameFolder));
    const std::filesystem::path file(absoluteOf(platform::toNativeSeparators(local)));
    auto f = folder.begin();
    auto p = file.begin();
    for (; f != folder.end() && !f->empty(); ++f, ++p) {
        // The game's platform, and the seam's paths, ignore letter case.
        if (p == file.end() || !platform::equalsNoCase(f->string(), p->string())) return std::nullopt;
    }
    std::string out;
    for (; p != file.end(); ++p) out += (out.empty() ? "" : "\\") + p->string();
    if (out.empty() || !gamePathProblem(out).empty()) return std::nullopt;
    return out;
}

HistoryReading loadHistory(std::string_view gameFolder) {
    HistoryReading out;
    const std::string path = historyPath(gameFolder);
    auto& files = platform::fileSystem();
    if (!files.exists(path)) {
        out.history = History{};
        return out;
    }
    const std::optional<std::uint64_t> size = files.fileSize(path);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size && *size <= kMaxHistoryBytes) bytes = platform::readWholeFile(path);
    if (!bytes) {
        out.problem = "the history of changes (" + path + ") cannot be read";
        return out;
    }
    out = decodeHistory(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!out.history) out.problem = "the history of changes (" + path + ") " + out.problem;
    return out;
}

bool saveHistory(std::string_view gameFolder, const History& history) {
    const std::string text = encodeHistory(history);
    return replaceFile(historyPath(gameFolder),
                       std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tryster::share
