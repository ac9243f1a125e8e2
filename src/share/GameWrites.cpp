#include "share/GameWrites.h"

#include "platform/PathText.h"

namespace tryster::share {
namespace {

platform::FileSystem& files() { return platform::fileSystem(); }

// A folder the file system refuses to sync fails no step: the file is in
// place by then (as the staged writer has it).
void syncFolderOf(std::string_view path) {
    (void)files().syncFolder(platform::folderPart(path));  // refused: the file is in place all the same
}

bool writeAll(std::unique_ptr<platform::File> file, std::span<const std::uint8_t> bytes) {
    return file && file->write(bytes.data(), bytes.size()) == bytes.size() && file->flush();
}

}  // namespace

// Staged first, as the platform's durable copy is: a power cut must never
// leave half a backup under the backup's own name.
bool writeNewFile(std::string_view path, std::span<const std::uint8_t> bytes) {
    if (files().exists(path)) return false;  // the rename would replace it
    platform::StagedFile staged(path);
    return writeStaged(staged, bytes) && staged.commit();
}

std::unique_ptr<platform::File> createStaged(platform::StagedFile& file) {
    file.discard();
    return files().open(file.path(), platform::OpenMode::CreateNew);
}

bool writeStaged(platform::StagedFile& file, std::span<const std::uint8_t> bytes) {
    if (writeAll(createStaged(file), bytes)) return true;
    file.discard();
    return false;
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
    platform::StagedFile staged(path);
    return writeStaged(staged, bytes) && staged.commit();
}

}  // namespace tryster::share
