#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

namespace tryster::platform {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// A file over a POSIX descriptor; unbuffered, so flush has nothing to do.
class PosixFile final : public File {
public:
    PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t read(void* buffer, std::size_t count) override {
        std::size_t done = 0;
        auto* out = static_cast<char*>(buffer);
        while (done < count) {
            ssize_t n = ::read(fd_, out + done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    std::size_t write(const void* buffer, std::size_t count) override {
        if (!writable_) return 0;
        std::size_t done = 0;
        const auto* in = static_cast<const char*>(buffer);
        while (done < count) {
            ssize_t n = ::write(fd_, in + done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    bool seek(std::uint64_t offset) override {
        if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
    }

    std::optional<std::uint64_t> position() override {
        off_t p = ::lseek(fd_, 0, SEEK_CUR);
        if (p < 0) return std::nullopt;
        return static_cast<std::uint64_t>(p);
    }

    std::optional<std::uint64_t> size() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }

    bool truncate(std::uint64_t newSize) override {
        if (!writable_) return false;
        return ::ftruncate(fd_, static_cast<off_t>(newSize)) == 0;
    }

    bool flush() override { return true; }
    bool isWritable() const override { return writable_; }

private:
    int fd_;
    bool writable_;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> open(std::string_view path, OpenMode mode) override {
        std::string native = resolvePath(path).string();
        int flags = O_CLOEXEC;
        bool writable = true;
        switch (mode) {
        case OpenMode::Read: flags |= O_RDONLY; writable = false; break;
        case OpenMode::ReadWrite: flags |= O_RDWR; break;
        case OpenMode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
        case OpenMode::CreateTruncate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
        }
        int fd = ::open(native.c_str(), flags, 0644);
        if (fd < 0) return nullptr;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd, writable);
    }

    bool exists(std::string_view path) override {
        struct stat st {};
        return ::stat(resolvePath(path).c_str(), &st) == 0;
    }

    bool isDirectory(std::string_view path) override {
        struct stat st {};
        return ::stat(resolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    std::optional<std::uint64_t> fileSize(std::string_view path) override {
        struct stat st {};
        if (::stat(resolvePath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }

    bool remove(std::string_view path) override {
        return ::unlink(resolvePath(path).c_str()) == 0;
    }

    bool rename(std::string_view from, std::string_view to) override {
        std::string source = resolvePath(from).string();
        std::string target = resolvePath(to).string();
        return ::rename(source.c_str(), target.c_str()) == 0;
    }

    bool createDirectories(std::string_view path) override {
        std::error_code ec;
        std::filesystem::create_directories(resolvePath(path), ec);
        return !ec || isDirectory(path);
    }

    std::vector<DirEntry> list(std::string_view folder) override {
        std::vector<DirEntry> out;
        std::string native = resolvePath(folder).string();
        if (native.empty()) native = ".";
        DIR* dir = ::opendir(native.c_str());
        if (!dir) return out;
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            bool isDir = false;
            if (e->d_type == DT_DIR) {
                isDir = true;
            } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
                struct stat st {};
                std::string full = native + "/" + name;
                isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            out.push_back({std::move(name), isDir});
        }
        ::closedir(dir);
        return out;
    }

    std::string currentDirectory() override {
        std::error_code ec;
        auto p = std::filesystem::current_path(ec);
        return ec ? std::string() : p.string();
    }

    bool setCurrentDirectory(std::string_view path) override {
        return ::chdir(resolvePath(path).c_str()) == 0;
    }
};

FileSystem* g_installed = nullptr;

}  // namespace

char nativeSeparator() { return '/'; }

std::string toNativeSeparators(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool lessNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(lowerAscii(a[i]));
        auto cb = static_cast<unsigned char>(lowerAscii(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

bool containsNoCase(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (equalsNoCase(text.substr(i, part.size()), part)) return true;
    return false;
}

std::string toLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperAscii(c);
    return out;
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtrack point for the last '*'.
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::filesystem::path resolvePath(std::string_view path) {
    std::string native = toNativeSeparators(path);
    if (native.empty()) return {};
    struct stat st {};
    if (::stat(native.c_str(), &st) == 0) return native;  // exact spelling exists

    std::vector<std::string> parts;
    for (std::size_t pos = 0; pos <= native.size();) {
        std::size_t end = native.find('/', pos);
        if (end == std::string::npos) end = native.size();
        if (end > pos) parts.push_back(native.substr(pos, end - pos));
        pos = end + 1;
    }

    std::string resolved = native[0] == '/' ? "/" : "";
    bool missing = false;
    for (const std::string& part : parts) {
        auto joined = [&](const std::string& name) {
            return resolved.empty() || resolved.back() == '/' ? resolved + name : resolved + "/" + name;
        };
        std::string candidate = joined(part);
        if (!missing && part != "." && part != ".." && ::lstat(candidate.c_str(), &st) != 0) {
            // Look for the same name in another letter case; the smallest
            // spelling wins so that the choice does not depend on the
            // directory's order.
            std::string best;
            if (DIR* dir = ::opendir(resolved.empty() ? "." : resolved.c_str())) {
                while (dirent* e = ::readdir(dir)) {
                    std::string_view name = e->d_name;
                    if (equalsNoCase(name, part) && (best.empty() || name < best)) best = name;
                }
                ::closedir(dir);
            }
            if (best.empty())
                missing = true;
            else
                candidate = joined(best);
        }
        resolved = std::move(candidate);
    }
    if (native.back() == '/' && resolved.back() != '/') resolved += '/';
    return resolved;
}

FileSystem& realFileSystem() {
    static PosixFileSystem real;
    return real;
}

FileSystem& fileSystem() { return g_installed ? *g_installed : realFileSystem(); }

void installFileSystem(FileSystem* replacement) { g_installed = replacement; }

std::vector<std::string> findFiles(std::string_view folder, std::string_view pattern) {
    std::vector<std::string> names;
    for (DirEntry& e : fileSystem().list(folder))
        if (!e.isDirectory && matchesPattern(e.name, pattern)) names.push_back(std::move(e.name));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (lessNoCase(a, b)) return true;
        if (lessNoCase(b, a)) return false;
        return a < b;
    });
    return names;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !isSeparator(out.back())) out += nativeSeparator();
    out += name;
    return out;
}

std::string_view folderPart(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view namePart(std::string_view path) { return path.substr(folderPart(path).size()); }

std::optional<std::vector<std::uint8_t>> readWholeFile(std::string_view path) {
    auto file = fileSystem().open(path, OpenMode::Read);
    if (!file) return std::nullopt;
    auto size = file->size();
    if (!size) return std::nullopt;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(*size));
    if (file->read(data.data(), data.size()) != data.size()) return std::nullopt;
    return data;
}

bool writeWholeFile(std::string_view path, const void* data, std::size_t size) {
    auto file = fileSystem().open(path, OpenMode::CreateTruncate);
    if (!file) return false;
    return file->write(data, size) == size && file->flush();
}

}  // namespace tryster::platform
