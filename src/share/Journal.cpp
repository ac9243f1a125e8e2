#include "share/Journal.h"

#include "platform/FileSystem.h"
#include "share/GameWrites.h"
#include "share/PackPath.h"

#include <algorithm>

namespace tryster::share {
namespace {

using platform::JsonValue;

constexpr std::string_view kJournalFormat = "tryster-ledger-journal";
constexpr std::uint64_t kMaxJournalBytes = 16ull << 20;
// Names listed from a damaged journal, and set-aside names tried.
constexpr std::size_t kMaxListed = 200;
constexpr int kMaxAsideNumber = 999;

// The game paths a damaged journal's text names: every string in it that
// reads as a path a pack may write, once each.
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
        const PackPathCheck check = checkFileName(current);
        if (check.path && check.path->kind != PackFileKind::Manifest &&
            std::find(out.begin(), out.end(), check.path->path) == out.end())
            out.push_back(check.path->path);
    }
    return out;
}

}  // namespace

std::string journalPath(std::string_view gameFolder) { return platform::joinPath(gameFolder, kJournalFileName); }

bool writeJournal(std::string_view gameFolder, const Journal& journal) {
    JsonValue root = JsonValue::object();
    root.add("format", JsonValue::of(kJournalFormat));
    root.add("operation",
             JsonValue::of(journal.operation == Journal::Operation::Install ? "install" : "uninstall"));
    root.add("record", recordToJson(journal.record));
    JsonValue& obsolete = root.add("obsoleteBackups", JsonValue::array());
    for (const std::string& b : journal.obsoleteBackups) obsolete.push(JsonValue::of(b));
    const std::string text = platform::formatJson(root);
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
    std::string error;
    std::optional<JsonValue> root;
    if (bytes) root = platform::parseJson(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
    const JsonValue* format = root ? root->find("format") : nullptr;
    const JsonValue* operation = root ? root->find("operation") : nullptr;
    const JsonValue* record = root ? root->find("record") : nullptr;
    const auto damaged = [&](std::string why) {
        out.problem = "the journal of an interrupted install or uninstall (" + path + ") " + why;
        if (bytes) out.listed = pathsNamedIn(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        return out;
    };
    if (!format || !format->asString() || *format->asString() != kJournalFormat || !operation ||
        !operation->asString() || (*operation->asString() != "install" && *operation->asString() != "uninstall") ||
        !record)
        return damaged(bytes ? "is damaged" : "cannot be read");
    std::optional<LedgerRecord> r = recordFromJson(*record, error);
    if (!r) return damaged("is damaged: it " + error);
    Journal journal;
    journal.operation = *operation->asString() == "install" ? Journal::Operation::Install
                                                             : Journal::Operation::Uninstall;
    journal.record = std::move(*r);
    if (const JsonValue* obsolete = root->find("obsoleteBackups"); obsolete && obsolete->kind == JsonValue::Kind::Array)
        for (const JsonValue& b : obsolete->items)
            if (b.asString()) journal.obsoleteBackups.push_back(*b.asString());
    out.journal = std::move(journal);
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
