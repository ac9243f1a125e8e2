#include "share/Journal.h"

#include "platform/FileSystem.h"
#include "share/GameWrites.h"

namespace tryster::share {
namespace {

using formats::JsonValue;

constexpr std::string_view kJournalFormat = "tryster-ledger-journal";
constexpr std::uint64_t kMaxJournalBytes = 16ull << 20;

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
    std::string error;
    std::optional<JsonValue> root;
    if (bytes) root = formats::parseJson(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), error);
    const JsonValue* format = root ? root->find("format") : nullptr;
    const JsonValue* operation = root ? root->find("operation") : nullptr;
    const JsonValue* record = root ? root->find("record") : nullptr;
    if (!format || !format->asString() || *format->asString() != kJournalFormat || !operation ||
        !operation->asString() || (*operation->asString() != "install" && *operation->asString() != "uninstall") ||
        !record) {
        out.problem = "the journal of an interrupted install (" + path + ") cannot be read";
        return out;
    }
    std::optional<LedgerRecord> r = recordFromJson(*record, error);
    if (!r) {
        out.problem = "the journal of an interrupted install (" + path + ") " + error;
        return out;
    }
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

}  // namespace tryster::share
