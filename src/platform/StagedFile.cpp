#include "platform/StagedFile.h"

#include "platform/FileSystem.h"

#include <set>
#include <utility>

namespace tryster::platform {

namespace {

// The folder of a path as syncFolder takes it ("" for the current one).
std::string folderOf(std::string_view path) { return std::string(folderPart(path)); }

}  // namespace

StagedFile::StagedFile(std::string_view target, std::string_view suffix)
    : target_(target), staged_(std::string(target) + std::string(suffix)) {}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)),
      staged_(std::move(other.staged_)),
      committed_(std::exchange(other.committed_, true)) {}

StagedFile::~StagedFile() {
    if (!committed_) discard();
}

void StagedFile::discard() {
    auto& files = fileSystem();
    if (files.exists(staged_)) (void)files.remove(staged_);  // nothing to do if it cannot go
}

bool StagedFile::sync() {
    if (fileSystem().syncFile(staged_)) return true;
    discard();
    return false;
}

bool StagedFile::moveIntoPlace() {
    committed_ = fileSystem().rename(staged_, target_);
    if (!committed_) discard();
    return committed_;
}

bool StagedFile::commit() {
    if (!sync() || !moveIntoPlace()) return false;
    (void)fileSystem().syncFolder(folderOf(target_));  // see the header: the file is in place
    return true;
}

bool commitTogether(std::span<StagedFile> files) {
    for (StagedFile& file : files) {
        if (file.sync()) continue;
        for (StagedFile& other : files) other.discard();
        return false;
    }
    std::set<std::string> folders;
    bool moved = true;
    for (StagedFile& file : files) {
        if (!moved) {
            file.discard();
            continue;
        }
        moved = file.moveIntoPlace();
        if (moved) folders.insert(folderOf(file.target()));
    }
    for (const std::string& folder : folders) (void)fileSystem().syncFolder(folder);  // as in commit()
    return moved;
}

bool copyFile(std::string_view from, std::string_view to) {
    auto& files = fileSystem();
    std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(from);
    if (!bytes) return false;
    // CreateNew: an existing file at `to` is never overwritten.
    std::unique_ptr<File> out = files.open(to, OpenMode::CreateNew);
    if (!out) return false;
    bool ok = out->write(bytes->data(), bytes->size()) == bytes->size() && out->flush();
    out.reset();
    if (!ok) (void)files.remove(to);  // the copy failed already; that is what counts
    return ok;
}

}  // namespace tryster::platform
