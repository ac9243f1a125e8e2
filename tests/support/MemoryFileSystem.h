#pragma once
// Files kept in memory, for fuzz targets and tests that need no disk. Paths
// are compared after turning '\' into '/', without regard to case; folders
// exist implicitly wherever a file lies below them.

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <vector>

namespace tryster::test {

class MemoryFileSystem final : public platform::FileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;
    // Writes past this size fail, as on a full disk.
    std::size_t maxFileSize = std::size_t{64} << 20;

    void put(std::string_view path, Bytes bytes) { files_[key(path)] = std::make_shared<Bytes>(std::move(bytes)); }
    void put(std::string_view path, std::span<const std::uint8_t> bytes) { put(path, Bytes(bytes.begin(), bytes.end())); }
    const Bytes* get(std::string_view path) const {
        auto it = files_.find(key(path));
        return it == files_.end() ? nullptr : it->second.get();
    }
    void clear() { files_.clear(); }
    // Every file's bytes, copied, by its key (for comparing states).
    std::map<std::string, Bytes> snapshot() const {
        std::map<std::string, Bytes> out;
        for (const auto& [k, bytes] : files_) out.emplace(k, *bytes);
        return out;
    }

    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        std::string k = key(path);
        auto it = files_.find(k);
        using platform::OpenMode;
        if (mode == OpenMode::CreateNew && it != files_.end()) return nullptr;
        if ((mode == OpenMode::Read || mode == OpenMode::ReadWrite) && it == files_.end()) return nullptr;
        if (mode == OpenMode::CreateNew || mode == OpenMode::CreateTruncate) {
            files_[k] = std::make_shared<Bytes>();
            it = files_.find(k);
        }
        return std::make_unique<MemoryFile>(it->second, mode != OpenMode::Read, maxFileSize);
    }
    bool exists(std::string_view path) override { return files_.count(key(path)) != 0 || isDirectory(path); }
    bool isDirectory(std::string_view path) override {
        std::string prefix = key(path) + "/";
        auto it = files_.lower_bound(prefix);
        return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
    }
    std::optional<std::uint64_t> fileSize(std::string_view path) override {
        const Bytes* b = get(path);
        return b ? std::optional<std::uint64_t>(b->size()) : std::nullopt;
    }
    bool remove(std::string_view path) override { return files_.erase(key(path)) != 0; }
    bool rename(std::string_view from, std::string_view to) override {
        auto it = files_.find(key(from));
        if (it == files_.end()) return false;
        auto bytes = it->second;
        files_.erase(it);
        files_[key(to)] = bytes;
        return true;
    }
    // Memory is as durable as it gets here.
    bool syncFile(std::string_view path) override { return get(path) != nullptr; }
    bool syncFolder(std::string_view) override { return true; }
    bool createDirectories(std::string_view) override { return true; }
    std::vector<platform::DirEntry> list(std::string_view folder) override {
        std::string prefix = key(folder) + "/";
        std::set<std::string> seen;
        std::vector<platform::DirEntry> out;
        for (auto it = files_.lower_bound(prefix); it != files_.end() && it->first.starts_with(prefix); ++it) {
            std::string rest = it->first.substr(prefix.size());
            std::size_t slash = rest.find('/');
            std::string name = rest.substr(0, slash);
            if (seen.insert(name).second) out.push_back({name, slash != std::string::npos});
        }
        return out;
    }
    std::string currentDirectory() override { return ""; }
    bool setCurrentDirectory(std::string_view) override { return true; }
    // One process, one holder at a time: the lock is only ever waited for
    // by a nested holder, a fault the real folders report as a timeout.
    std::unique_ptr<platform::FolderLock> lockFolder(std::string_view, std::uint32_t) override {
        return std::make_unique<platform::FolderLock>();
    }

private:
    static std::string key(std::string_view path) {
        std::string k;
        for (char c : path) k += c == '\\' ? '/' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        while (k.size() > 1 && k.back() == '/') k.pop_back();
        return k;
    }

    class MemoryFile final : public platform::File {
    public:
        MemoryFile(std::shared_ptr<Bytes> bytes, bool writable, std::size_t maxSize)
            : bytes_(std::move(bytes)), writable_(writable), maxSize_(maxSize) {}
        std::size_t read(void* buffer, std::size_t count) override {
            if (pos_ >= bytes_->size()) return 0;
            std::size_t n = std::min<std::size_t>(count, bytes_->size() - pos_);
            std::memcpy(buffer, bytes_->data() + pos_, n);
            pos_ += n;
            return n;
        }
        std::size_t write(const void* buffer, std::size_t count) override {
            // Past the limit the "disk" is full.
            if (!writable_ || pos_ > maxSize_ || count > maxSize_ - pos_) return 0;
            if (pos_ + count > bytes_->size()) bytes_->resize(pos_ + count);
            std::memcpy(bytes_->data() + pos_, buffer, count);
            pos_ += count;
            return count;
        }
        bool seek(std::uint64_t offset) override {
            pos_ = static_cast<std::size_t>(offset);
            return true;
        }
        std::optional<std::uint64_t> position() override { return pos_; }
        std::optional<std::uint64_t> size() override { return bytes_->size(); }
        bool truncate(std::uint64_t size) override {
            if (!writable_ || size > maxSize_) return false;
            bytes_->resize(static_cast<std::size_t>(size));
            return true;
        }
        bool flush() override { return true; }
        bool isWritable() const override { return writable_; }

    private:
        std::shared_ptr<Bytes> bytes_;
        bool writable_;
        std::size_t maxSize_;
        std::size_t pos_ = 0;
    };

    std::map<std::string, std::shared_ptr<Bytes>> files_;
};

}  // namespace tryster::test
