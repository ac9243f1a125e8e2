#include "share/GameWrites.h"

#include "platform/WholeFile.h"

namespace tryster::share {
namespace {

platform::FileSystem& files() { return platform::fileSystem(); }

// Makes a file's bytes durable. The file layer offers no sync of its own
// yet; once it does, this and `syncFolderOf` are the two places to call it.
bool syncFile(platform::File& file) { return file.flush(); }
bool syncFolderOf(std::string_view) { return true; }

}  // namespace

bool writeNewFile(std::string_view path, std::span<const std::uint8_t> bytes) {
    std::unique_ptr<platform::File> file = createNewFile(path);
    if (!file) return false;
    if (file->write(bytes.data(), bytes.size()) != bytes.size()) {
        file.reset();
        (void)files().remove(path);  // the write failed already; that is what counts
        return false;
    }
    if (!finishNewFile(std::move(file))) {
        (void)files().remove(path);  // as above
        return false;
    }
    return true;
}

bool copyToNewFile(std::string_view from, std::string_view to) {
    const std::optional<std::vector<std::uint8_t>> bytes = platform::readWholeFile(from);
    return bytes && writeNewFile(to, *bytes);
}

std::unique_ptr<platform::File> createNewFile(std::string_view path) {
    return files().open(path, platform::OpenMode::CreateNew);
}

bool finishNewFile(std::unique_ptr<platform::File> file) { return file && syncFile(*file); }

bool moveOver(std::string_view from, std::string_view to) {
    return files().rename(from, to) && syncFolderOf(to);
}

bool removeFile(std::string_view path) {
    if (!files().exists(path)) return true;
    return files().remove(path) && syncFolderOf(path);
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
