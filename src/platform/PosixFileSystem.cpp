// The operating system's files: POSIX descriptors, unbuffered.

#include "platform/FileSystem.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <dirent.h>

namespace tryster::platform {
namespace {

// Calls `step(done)`, one read or write of the bytes from `done` on, until
// `count` bytes are done, the end of the file (0) or an error other than an
// interrupted call; the bytes done.
template <typename Step>
std::size_t transfer(std::size_t count, Step step) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = step(done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// An interrupted sync is asked again; the result of the last one counts.
template <typename Sync>
bool retried(Sync sync) {
    int result;
    do result = sync();
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// A file over a POSIX descriptor; unbuffered, so flush has nothing to do.
class PosixFile final : public File {
public:
    PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::size_t read(void* buffer, std::size_t count) override {
        auto* out = static_cast<char*>(buffer);
        return transfer(count, [&](std::size_t done) { return ::read(fd_, out + done, count - done); });
    }

    std::size_t write(const void* buffer, std::size_t count) override {
        if (!writable_) return 0;
        const auto* in = static_cast<const char*>(buffer);
        return transfer(count, [&](std::size_t done) { return ::write(fd_, in + done, count - done); });
    }

    // pread and pwrite leave the file position alone and save the seek.
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > static_cast<std::uint64_t>(INT64_MAX) - count) return 0;
        auto* out = static_cast<char*>(buffer);
        return transfer(count, [&](std::size_t done) {
            return ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        });
    }

    std::size_t writeAt(std::uint64_t offset, const void* buffer, std::size_t count) override {
        if (!writable_ || offset > static_cast<std::uint64_t>(INT64_MAX) - count) return 0;
        const auto* in = static_cast<const char*>(buffer);
        return transfer(count, [&](std::size_t done) {
            return ::pwrite(fd_, in + done, count - done, static_cast<off_t>(offset + done));
        });
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

// The folder's own descriptor under flock: no lock file is left behind, and
// the lock goes with the descriptor when the process ends.
class PosixFolderLock final : public FolderLock {
public:
    explicit PosixFolderLock(int fd) : fd_(fd) {}
    ~PosixFolderLock() override { ::close(fd_); }
    PosixFolderLock(const PosixFolderLock&) = delete;
    PosixFolderLock& operator=(const PosixFolderLock&) = delete;

private:
    int fd_;
};

// How often a held folder is tried again while waiting.
constexpr auto kLockRetry = std::chrono::milliseconds(20);

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

    bool isRegularFile(std::string_view path) override {
        struct stat st {};
        return ::stat(resolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
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

    // fdatasync: the data and the size, which is what reading the file
    // back needs, without the times.
    bool syncFile(std::string_view path) override {
        const int fd = ::open(resolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool synced = retried([fd] { return ::fdatasync(fd); });
        ::close(fd);
        return synced;
    }

    bool syncFolder(std::string_view path) override {
        std::string native = resolvePath(path).string();
        if (native.empty()) native = ".";
        const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool synced = retried([fd] { return ::fsync(fd); });
        ::close(fd);
        return synced;
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

    std::unique_ptr<FolderLock> lockFolder(std::string_view folder, std::uint32_t waitMs) override {
        std::string native = resolvePath(folder).string();
        if (native.empty()) native = ".";
        const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return std::make_unique<PosixFolderLock>(fd);
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(kLockRetry);
        }
        ::close(fd);
        return nullptr;
    }
};

}  // namespace

FileSystem& realFileSystem() {
    static PosixFileSystem real;
    return real;
}

}  // namespace tryster::platform
