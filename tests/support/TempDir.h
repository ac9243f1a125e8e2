#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tryster::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = std::filesystem::temp_directory_path() /
                             ("tryster-test-" + std::to_string(rd()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot make a temporary folder");
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(std::string_view relative) const { return (path_ / relative).string(); }

    // Writes a file (making its folders) and returns its full path.
    std::string write(std::string_view relative, std::string_view content) const {
        auto full = path_ / relative;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream out(full, std::ios::binary);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        return full.string();
    }

    bool exists(std::string_view relative) const { return std::filesystem::exists(path_ / relative); }

    std::string read(std::string_view relative) const {
        std::ifstream in(path_ / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

}  // namespace tryster::test
