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

std::optional<std::string> keepBackup(std::string_view path) {
    auto& files = platform::fileSystem();
    for (int number = 1; number <= kMaxBackups; ++number) {
        std::string candidate = backupPath(path, number);
        if (files.exists(candidate)) continue;
        if (platform::copyFileDurably(path, candidate)) return candidate;
        return std::nullopt;
    }
    return std::nullopt;
}

CommitResult commitKeepingBackup(platform::StagedFile& staged) {
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
