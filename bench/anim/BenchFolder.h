#pragma once
// A temporary folder that a benchmark generates its input in and runs in
// (the current directory), removed at the end.

#include "platform/FileSystem.h"

#include <unistd.h>
#include <filesystem>
#include <string>
#include <system_error>

namespace tryster::bench {

class BenchFolder {
public:
    explicit BenchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        saved_ = platform::fileSystem().currentDirectory();
        (void)platform::fileSystem().setCurrentDirectory(path_.string());
    }
    ~BenchFolder() {
        (void)platform::fileSystem().setCurrentDirectory(saved_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // Writes a file below the folder (making its folders).
    void write(const std::string& relative, const void* data, std::size_t size) const {
        auto full = path_ / relative;
        std::filesystem::create_directories(full.parent_path());
        (void)platform::writeWholeFile(full.string(), data, size);
    }

private:
    std::filesystem::path path_;
    std::string saved_;
};

}  // namespace tryster::bench
