#include "share/GameWrites.h"

#include "platform/WholeFile.h"

namespace tryster::share {
namespace {

platform::FileSystem& files() { return platform::fileSystem(); }

// Make a closed file's bytes, and a folder's names, durable. The file layer
// offers no sync of its own yet; once it does, these are the two places to
// call it (the file system's sync of a file, and of the folder of a path).
bool syncFile(std::string_view) { return true; }
void syncFolderOf(std::string_view) {}

}  // namespace

bool writeNewFile(std::string_view path, std::span<const std::uint8_t> bytes) {
    std::unique_ptr<platform::File> file = createNewFile(path);
    if (!file) return false;
    if (file->write(bytes.data(), bytes.size()) != bytes.size()) {
        file.reset();
        (void)files().remove(path);  // the write failed already; that is what counts
        return false;
    }
    if (!finishNewFile(std::move(file), path)) {
        (void)files().remove(path);  // as above
        return false;
    }
    return true;
}

std::unique_ptr<platform::File> createNewFile(std::string_view path) {
    return files().open(path, platform::OpenMode::CreateNew);
}

bool finishNewFile(std::unique_ptr<platform::File> file, std::string_view path) {
    if (!file || !file->flush()) return false;
    file.reset();
    return syncFile(path);
}

bool moveOver(std::string_view from, std::string_view to) {
    if (!files().rename(from, to)) return false;
    syncFolderOf(to);
    return true;
}

bool removeFile(std::string_view path) {
    if (!files().exists(path)) return true;
    if (!files().remove(path)) return false;
    syncFolderOf(path);
    return true;
}

bool replaceFile(std::string_view path, std::span<const std::uint8_t> bytes) {
    const std::string staged = std::string(path) + std::string(kStagedSuffix);
    if (files().exists(staged)) (void)files().remove(staged);  // left by an interrupted run; the write below tells
    if (!writeNewFile(staged, bytes)) return false;
    if (moveOver(staged, path)) return true;
    (void)files().remove(staged);  // the move failed already; that is what counts
    return false;
}

}  // namespace tryster::share
