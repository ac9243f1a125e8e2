#pragma once
// The real file system, call for call: the base of the doubles that watch
// or fail a few calls and pass the rest on.

#include "platform/FileSystem.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tryster::test {

class PassThroughFileSystem : public platform::FileSystem {
public:
    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        return real().open(path, mode);
    }
    bool exists(std::string_view path) override { return real().exists(path); }
    bool isDirectory(std::string_view path) override { return real().isDirectory(path); }
    bool isRegularFile(std::string_view path) override { return real().isRegularFile(path); }
    std::optional<std::uint64_t> fileSize(std::string_view path) override { return real().fileSize(path); }
    bool remove(std::string_view path) override { return real().remove(path); }
    bool rename(std::string_view from, std::string_view to) override { return real().rename(from, to); }
    bool syncFile(std::string_view path) override { return real().syncFile(path); }
    bool syncFolder(std::string_view path) override { return real().syncFolder(path); }
    bool createDirectories(std::string_view path) override { return real().createDirectories(path); }
    std::vector<platform::DirEntry> list(std::string_view folder) override { return real().list(folder); }
    std::string currentDirectory() override { return real().currentDirectory(); }
    bool setCurrentDirectory(std::string_view path) override { return real().setCurrentDirectory(path); }
    std::unique_ptr<platform::FolderLock> lockFolder(std::string_view folder, std::uint32_t waitMs) override {
        return real().lockFolder(folder, waitMs);
    }

protected:
    static platform::FileSystem& real() { return platform::realFileSystem(); }
};

}  // namespace tryster::test
