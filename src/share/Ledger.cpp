#include "share/Ledger.h"

#include "platform/FileSystem.h"
#include "share/GameWrites.h"
#include "share/PackLimits.h"
#include "share/PackPath.h"

namespace tryster::share {
namespace {

using formats::JsonValue;

// A ledger holds a record per installed date; this is far beyond any
// player's count and keeps a damaged file from being read without end.
constexpr std::uint64_t kMaxLedgerBytes = 16ull << 20;

std::string_view roleText(LedgerRole role) {
    switch (role) {
    case LedgerRole::Added: return "added";
    case LedgerRole::Replaced: return "replaced";
    case LedgerRole::Shared: return "shared";
    }
    return "added";
}

std::optional<LedgerRole> roleOf(std::string_view text) {
    if (text == "added") return LedgerRole::Added;
    if (text == "replaced") return LedgerRole::Replaced;
    if (text == "shared") return LedgerRole::Shared;
    return std::nullopt;
}

std::string stringOf(const JsonValue& object, std::string_view key) {
    const JsonValue* v = object.find(key);
    return v && v->asString() ? *v->asString() : std::string();
}

bool isDigest(std::string_view text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// A path a pack may write, spelt as the rules spell it.
bool isGamePath(std::string_view path) {
    const PackPathCheck check = checkFileName(path);
    return check.path && check.path->kind != PackFileKind::Manifest && check.path->path == path;
}

std::optional<LedgerFile> fileFromJson(const JsonValue& value, std::string& problem) {
    LedgerFile f;
    f.path = stringOf(value, "path");
    f.sha256 = stringOf(value, "sha256");
    const std::optional<LedgerRole> role = roleOf(stringOf(value, "role"));
    if (!isGamePath(f.path) || !role || !isDigest(f.sha256)) {
        problem = "has a file entry that is not a game file with a role and a digest";
        return std::nullopt;
    }
    f.role = *role;
    if (f.role == LedgerRole::Replaced) {
        f.backup = stringOf(value, "backup");
        f.replacedSha256 = stringOf(value, "replacedSha256");
        if (!isBackupName(f.backup, f.path) || !isDigest(f.replacedSha256)) {
            problem = "names a backup of " + f.path + " that is not named after it";
            return std::nullopt;
        }
    }
    return f;
}

}  // namespace

const LedgerFile* LedgerRecord::find(std::string_view path) const {
    for (const LedgerFile& f : files)
        if (caseKey(f.path) == caseKey(path)) return &f;
    return nullptr;
}

const LedgerRecord* Ledger::find(std::string_view date) const {
    std::string key = caseKey(date);
    if (key.size() > 4 && key.ends_with(".iff")) key.resize(key.size() - 4);
    for (const LedgerRecord& r : records)
        if (caseKey(r.date) == key) return &r;
    return nullptr;
}

JsonValue recordToJson(const LedgerRecord& record) {
    JsonValue out = JsonValue::object();
    out.add("date", JsonValue::of(record.date));
    out.add("name", JsonValue::of(record.name));
    out.add("pack", JsonValue::of(record.pack));
    JsonValue& files = out.add("files", JsonValue::array());
    for (const LedgerFile& f : record.files) {
        JsonValue& entry = files.push(JsonValue::object());
        entry.add("path", JsonValue::of(f.path));
        entry.add("role", JsonValue::of(roleText(f.role)));
        entry.add("sha256", JsonValue::of(f.sha256));
        if (f.role == LedgerRole::Replaced) {
            entry.add("backup", JsonValue::of(f.backup));
            entry.add("replacedSha256", JsonValue::of(f.replacedSha256));
        }
    }
    return out;
}

std::optional<LedgerRecord> recordFromJson(const JsonValue& value, std::string& problem) {
    LedgerRecord record;
    record.date = stringOf(value, "date");
    record.name = stringOf(value, "name");
    record.pack = stringOf(value, "pack");
    if (!isGamePath(std::string(kDatesFolder) + "\\" + record.date + ".iff")) {
        problem = "has a record without the name of its date";
        return std::nullopt;
    }
    const JsonValue* files = value.find("files");
    if (!files || files->kind != JsonValue::Kind::Array) {
        problem = "has a record without its files";
        return std::nullopt;
    }
    for (const JsonValue& item : files->items) {
        std::optional<LedgerFile> f = fileFromJson(item, problem);
        if (!f) return std::nullopt;
        record.files.push_back(std::move(*f));
    }
    return record;
}

std::string encodeLedger(const Ledger& ledger) {
    JsonValue root = JsonValue::object();
    root.add("format", JsonValue::of(kLedgerFormat));
    root.add("version", JsonValue::of(kLedgerVersion));
    JsonValue& installs = root.add("installs", JsonValue::array());
    for (const LedgerRecord& r : ledger.records) installs.push(recordToJson(r));
    return formats::formatJson(root);
}

LedgerReading decodeLedger(std::string_view text) {
    LedgerReading out;
    std::string error;
    std::optional<JsonValue> root = formats::parseJson(text, error);
    const JsonValue* format = root ? root->find("format") : nullptr;
    const JsonValue* version = root ? root->find("version") : nullptr;
    const JsonValue* installs = root ? root->find("installs") : nullptr;
    if (!format || !format->asString() || *format->asString() != kLedgerFormat || !version ||
        !version->asInteger() || !installs || installs->kind != JsonValue::Kind::Array) {
        out.problem = "is not a record of installed dates";
        return out;
    }
    if (*version->asInteger() > kLedgerVersion) {
        out.problem = "was written by a newer Tryster";
        return out;
    }
    Ledger ledger;
    for (const JsonValue& item : installs->items) {
        std::optional<LedgerRecord> record = recordFromJson(item, out.problem);
        if (!record) return out;
        ledger.records.push_back(std::move(*record));
    }
    out.ledger = std::move(ledger);
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

std::string ledgerPath(std::string_view gameFolder) { return platform::joinPath(gameFolder, kLedgerFileName); }

std::string localPath(std::string_view gameFolder, std::string_view gamePath) {
    return platform::toNativeSeparators(platform::joinPath(gameFolder, gamePath));
}

LedgerReading loadLedger(std::string_view gameFolder) {
    LedgerReading out;
    const std::string path = ledgerPath(gameFolder);
    auto& files = platform::fileSystem();
    if (!files.exists(path)) {
        out.ledger = Ledger{};
        return out;
    }
    const std::optional<std::uint64_t> size = files.fileSize(path);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size && *size <= kMaxLedgerBytes) bytes = platform::readWholeFile(path);
    if (!bytes) {
        out.problem = "the record of installed dates (" + path + ") cannot be read";
        return out;
    }
    out = decodeLedger(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!out.ledger) out.problem = "the record of installed dates (" + path + ") " + out.problem;
    return out;
}

bool saveLedger(std::string_view gameFolder, const Ledger& ledger) {
    const std::string path = ledgerPath(gameFolder);
    if (ledger.records.empty()) return removeFile(path);
    const std::string text = encodeLedger(ledger);
    return replaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tryster::share
