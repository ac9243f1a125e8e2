#include "exchange/FileBackup.h"

#include "platform/FileSystem.h"

namespace tryster::exchange {

namespace {

constexpr std::string_view kBackupExtension = ".bak";
// Far more backups than anyone keeps; past this the search gives up rather
// than walking the folder forever.
constexpr int kMaxBackups = 9999;

}  // namespace

std::string backupPath(std::string_view path, int number) {
    std::string out(path);
    if (number > 1) out += "." + std::to_string(number);
    out += kBackupExtension;
    return out;
}

bool copyFile(std::string_view from, std::string_view to) {
    auto& files = platform::fileSystem();
    std::optional<std::vector<std::uint8_t>> bytes = platform::readWholeFile(from);
    if (!bytes) return false;
    // CreateNew: an existing file at `to` is never overwritten.
    std::unique_ptr<platform::File> out = files.open(to, platform::OpenMode::CreateNew);
    if (!out) return false;
    bool ok = out->write(bytes->data(), bytes->size()) == bytes->size() && out->flush();
    out.reset();
    if (!ok) (void)files.remove(to);  // the copy failed already; that is what counts
    return ok;
}

std::optional<std::string> keepBackup(std::string_view path) {
    auto& files = platform::fileSystem();
    for (int number = 1; number <= kMaxBackups; ++number) {
        std::string candidate = backupPath(path, number);
        if (files.exists(candidate)) continue;
        if (copyFile(path, candidate)) return candidate;
        return std::nullopt;
    }
    return std::nullopt;
}

CommitResult commitKeepingBackup(StagedFile& staged) {
    CommitResult result;
    std::optional<std::string> backup = keepBackup(staged.target());
    if (!backup) {
        staged.discard();
        result.status = CommitResult::Status::NoBackup;
        return result;
    }
    if (!staged.commit()) {
        // The target is unchanged, so its copy is not needed.
        (void)platform::fileSystem().remove(*backup);  // a stale copy harms nothing
        result.status = CommitResult::Status::NotMoved;
        return result;
    }
    result.backupPath = std::move(*backup);
    return result;
}

}  // namespace tryster::exchange
