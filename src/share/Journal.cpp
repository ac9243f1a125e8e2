#include "share/Journal.h"

#include "platform/FileSystem.h"
#include "share/GameWrites.h"
#include "share/JsonFields.h"
#include "share/PackPath.h"

#include <algorithm>
#include <array>

namespace tryster::share {
namespace {

using formats::JsonValue;
using namespace json_fields;

constexpr std::string_view kJournalFormat = "tryster-ledger-journal";
constexpr std::int64_t kJournalVersion = 2;
constexpr std::uint64_t kMaxJournalBytes = 16ull << 20;
// Names listed from a damaged journal, and set-aside names tried.
constexpr std::size_t kMaxListed = 200;
constexpr int kMaxAsideNumber = 999;

constexpr std::array<std::pair<Journal::Operation, std::string_view>, 4> kOperations = {{
    {Journal::Operation::Stage, "stage"},
    {Journal::Operation::Change, "change"},
    {Journal::Operation::Undo, "undo"},
    {Journal::Operation::Forget, "forget"},
}};
constexpr std::array<std::pair<UndoAction, std::string_view>, 4> kActions = {{
    {UndoAction::Remove, "remove"},
    {UndoAction::Restore, "restore"},
    {UndoAction::Stays, "stays"},
    {UndoAction::Gone, "gone"},
}};

bool isDigestOrNone(std::string_view text) {
    return text.empty() ||
           (text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos);
}

// The items of an array member; none when it is absent or no array.
std::span<const JsonValue> itemsOf(const JsonValue& object, std::string_view key) {
    const JsonValue* v = object.find(key);
    return v && v->kind == JsonValue::Kind::Array ? std::span<const JsonValue>(v->items) : std::span<const JsonValue>();
}

// The game paths a damaged journal's text names: every string in it that
// reads as a path inside the game folder with a file name, once each.
std::vector<std::string> pathsNamedIn(std::string_view text) {
    std::vector<std::string> out;
    std::string current;
    bool inString = false;
    for (std::size_t i = 0; i < text.size() && out.size() < kMaxListed; ++i) {
        const char c = text[i];
        if (!inString) {
            if (c == '"') inString = true;
            current.clear();
            continue;
        }
        if (c == '\\' && i + 1 < text.size()) {
            current += text[++i];  // "\\" and "\/" as JSON writes them; others do not matter here
            continue;
        }
        if (c != '"') {
            current += c;
            continue;
        }
        inString = false;
        if (isPathOfKind(ChangeKind::Undone, current) && std::find(out.begin(), out.end(), current) == out.end())
            out.push_back(current);
    }
    return out;
}

JsonValue stepToJson(const UndoStep& s) {
    JsonValue out = JsonValue::object();
    out.add("path", JsonValue::of(s.path));
    out.add("action", JsonValue::of(textOf(kActions, s.action)));
    out.add("found", JsonValue::of(s.found));
    out.add("backup", JsonValue::of(s.backup));
    out.add("backupSha256", JsonValue::of(s.backupSha256));
    out.add("keptAs", JsonValue::of(s.keptAs));
    out.add("heir", JsonValue::of(s.heir));
    return out;
}

std::optional<UndoStep> stepFromJson(const JsonValue& value) {
    UndoStep s;
    s.path = stringOf(value, "path");
    s.found = stringOf(value, "found");
    s.backup = stringOf(value, "backup");
    s.backupSha256 = stringOf(value, "backupSha256");
    s.keptAs = stringOf(value, "keptAs");
    s.heir = integerOf(value, "heir");
    const std::optional<UndoAction> action = valueOf(kActions, stringOf(value, "action"));
    if (!action || !isPathOfKind(ChangeKind::Undone, s.path) || !isDigestOrNone(s.found) ||
        !isDigestOrNone(s.backupSha256) || s.heir < 0 || (!s.keptAs.empty() && !isBackupName(s.keptAs, s.path)))
        return std::nullopt;
    s.action = *action;
    if (s.action == UndoAction::Restore && (!isBackupName(s.backup, s.path) || s.backupSha256.empty()))
        return std::nullopt;
    return s;
}

// A journal of version 1: an install (its ledger record) or an uninstall.
std::optional<Journal> version1Journal(const JsonValue& root, std::string& problem) {
    const std::string operation = stringOf(root, "operation");
    const JsonValue* record = root.find("record");
    if ((operation != "install" && operation != "uninstall") || !record) {
        problem = "is damaged";
        return std::nullopt;
    }
    JsonValue asEntry = *record;
    asEntry.add("id", JsonValue::of(std::int64_t{1}));
    asEntry.add("kind", JsonValue::of("installed"));
    std::optional<HistoryEntry> entry = entryFromJson(asEntry, problem);
    if (!entry) {
        problem = "is damaged: it " + problem;
        return std::nullopt;
    }
    entry->id = 0;  // an install of version 1 is known by its date
    Journal journal;
    journal.operation = operation == "install" ? Journal::Operation::Change : Journal::Operation::Undo;
    journal.entry = std::move(*entry);
    return journal;
}

std::optional<Journal> journalFromJson(const JsonValue& root, std::string& problem) {
    if (stringOf(root, "format") != kJournalFormat) {
        problem = "is damaged";
        return std::nullopt;
    }
    if (!root.find("version")) return version1Journal(root, problem);
    const std::optional<Journal::Operation> operation = valueOf(kOperations, stringOf(root, "operation"));
    const JsonValue* entry = root.find("entry");
    if (integerOf(root, "version") != kJournalVersion || !operation || !entry) {
        problem = "is damaged";
        return std::nullopt;
    }
    Journal journal;
    journal.operation = *operation;
    journal.target = integerOf(root, "target");
    if (journal.operation == Journal::Operation::Stage) {
        // The targets alone: nothing of them has reached the game yet.
        journal.entry.name = stringOf(*entry, "name");
        journal.entry.kind = kindNamed(stringOf(*entry, "kind")).value_or(ChangeKind::NewDate);
        for (const JsonValue& t : itemsOf(*entry, "targets")) {
            if (!t.asString() || !isPathOfKind(ChangeKind::Undone, *t.asString())) {
                problem = "is damaged: it names a file outside the game folder";
                return std::nullopt;
            }
            journal.entry.files.push_back({*t.asString(), FileRole::Added, {}, {}, {}});
        }
        return journal;
    }
    std::optional<HistoryEntry> e = entryFromJson(*entry, problem);
    if (!e) {
        problem = "is damaged: it " + problem;
        return std::nullopt;
    }
    journal.entry = std::move(*e);
    for (const JsonValue& item : itemsOf(root, "steps")) {
        std::optional<UndoStep> step = stepFromJson(item);
        if (!step) {
            problem = "is damaged: it has a step that is not one an undo takes";
            return std::nullopt;
        }
        journal.steps.push_back(std::move(*step));
    }
    for (const JsonValue& b : itemsOf(root, "obsoleteBackups")) {
        if (!b.asString() || !b.asString()->ends_with(".bak") || !gamePathProblem(*b.asString()).empty()) {
            problem = "is damaged: it names a backup outside the game folder";
            return std::nullopt;
        }
        journal.obsoleteBackups.push_back(*b.asString());
    }
    if ((journal.operation == Journal::Operation::Undo || journal.operation == Journal::Operation::Forget) &&
        journal.target < 1) {
        problem = "is damaged: it names no change";
        return std::nullopt;
    }
    return journal;
}

}  // namespace

std::string journalPath(std::string_view gameFolder) { return platform::joinPath(gameFolder, kJournalFileName); }

bool writeJournal(std::string_view gameFolder, const Journal& journal) {
    JsonValue root = JsonValue::object();
    root.add("format", JsonValue::of(kJournalFormat));
    root.add("version", JsonValue::of(kJournalVersion));
    root.add("operation", JsonValue::of(textOf(kOperations, journal.operation)));
    root.add("target", JsonValue::of(journal.target));
    if (journal.operation == Journal::Operation::Stage) {
        JsonValue& entry = root.add("entry", JsonValue::object());
        entry.add("kind", JsonValue::of(kindName(journal.entry.kind)));
        entry.add("name", JsonValue::of(journal.entry.name));
        JsonValue& targets = entry.add("targets", JsonValue::array());
        for (const ChangedFile& f : journal.entry.files) targets.push(JsonValue::of(f.path));
    } else {
        root.add("entry", entryToJson(journal.entry));
    }
    JsonValue& steps = root.add("steps", JsonValue::array());
    for (const UndoStep& s : journal.steps) steps.push(stepToJson(s));
    JsonValue& obsolete = root.add("obsoleteBackups", JsonValue::array());
    for (const std::string& b : journal.obsoleteBackups) obsolete.push(JsonValue::of(b));
    const std::string text = formats::formatJson(root);
    return replaceFile(journalPath(gameFolder),
                       std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

JournalReading readJournal(std::string_view gameFolder) {
    JournalReading out;
    const std::string path = journalPath(gameFolder);
    auto& files = platform::fileSystem();
    if (!files.exists(path)) return out;
    out.found = true;
    const std::optional<std::uint64_t> size = files.fileSize(path);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size && *size <= kMaxJournalBytes) bytes = platform::readWholeFile(path);
    const std::string_view text =
        bytes ? std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()) : std::string_view();
    std::string problem = bytes ? "is damaged" : "cannot be read";
    std::optional<JsonValue> root;
    if (bytes) root = formats::parseJson(text, problem);
    if (root) out.journal = journalFromJson(*root, problem);
    if (!out.journal) {
        if (bytes && !root) problem = "is damaged";
        out.problem = "the journal of an interrupted change (" + path + ") " + problem;
        out.listed = pathsNamedIn(text);
    }
    return out;
}

bool removeJournal(std::string_view gameFolder) { return removeFile(journalPath(gameFolder)); }

std::optional<std::string> setJournalAside(std::string_view gameFolder) {
    auto& files = platform::fileSystem();
    for (int n = 1; n <= kMaxAsideNumber; ++n) {
        const std::string name =
            std::string(kDamagedJournalStem) + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".json";
        const std::string aside = platform::joinPath(gameFolder, name);
        if (files.exists(aside)) continue;
        // A rename within the folder: the bytes stay as they were.
        if (!moveOver(journalPath(gameFolder), aside)) return std::nullopt;
        return name;
    }
    return std::nullopt;
}

}  // namespace tryster::share
