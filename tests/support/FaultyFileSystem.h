#pragma once
// A file layer over the real one that fails one chosen write: the n-th call
// to File::write (counted from 1 across all files) writes nothing, and so
// does every write after it until `failFrom` is reset, as on a full disk.
// Install it with `platform::installFileSystem`.
//
// With `everyChange`, every change of the disk counts: writes, truncation,
// renaming, removing, opening a file to create it, and syncing a file or a
// folder (as a full disk or a failing one reports it). With `reads`, reads
// count too (a failing disk returns nothing). With `once`, only the n-th
// counted operation fails and the ones after it succeed again.

#include "support/PassThroughFileSystem.h"

#include <cstdint>
#include <memory>

namespace tryster::test {

class FaultyFileSystem final : public PassThroughFileSystem {
public:
    // 0 = never fail.
    std::uint64_t failFrom = 0;
    // Operations counted so far (writes only, unless `everyChange`).
    std::uint64_t writes = 0;
    bool everyChange = false;
    bool reads = false;
    bool once = false;

    std::unique_ptr<platform::File> open(std::string_view path, platform::OpenMode mode) override {
        const bool creates = mode == platform::OpenMode::CreateNew || mode == platform::OpenMode::CreateTruncate;
        if (creates && !allowChange()) return nullptr;
        auto inner = real().open(path, mode);
        if (!inner) return nullptr;
        return std::make_unique<FaultyFile>(std::move(inner), *this);
    }
    bool remove(std::string_view path) override { return allowChange() && real().remove(path); }
    bool rename(std::string_view from, std::string_view to) override {
        return allowChange() && real().rename(from, to);
    }
    bool syncFile(std::string_view path) override { return allowChange() && real().syncFile(path); }
    bool syncFolder(std::string_view path) override { return allowChange() && real().syncFolder(path); }

private:
    bool allowWrite() {
        ++writes;
        if (failFrom == 0) return true;
        return once ? writes != failFrom : writes < failFrom;
    }
    bool allowChange() { return !everyChange || allowWrite(); }

    class FaultyFile final : public platform::File {
    public:
        FaultyFile(std::unique_ptr<platform::File> inner, FaultyFileSystem& fs) : inner_(std::move(inner)), fs_(fs) {}
        std::size_t read(void* buffer, std::size_t count) override {
            return !fs_.reads || fs_.allowWrite() ? inner_->read(buffer, count) : 0;
        }
        std::size_t write(const void* buffer, std::size_t count) override {
            return fs_.allowWrite() ? inner_->write(buffer, count) : 0;
        }
        bool seek(std::uint64_t offset) override { return inner_->seek(offset); }
        std::optional<std::uint64_t> position() override { return inner_->position(); }
        std::optional<std::uint64_t> size() override { return inner_->size(); }
        bool truncate(std::uint64_t size) override { return fs_.allowChange() && inner_->truncate(size); }
        bool flush() override { return inner_->flush(); }
        bool isWritable() const override { return inner_->isWritable(); }

    private:
        std::unique_ptr<platform::File> inner_;
        FaultyFileSystem& fs_;
    };
};

// Installs a file system for the life of the object.
class ScopedFileSystem {
public:
    explicit ScopedFileSystem(platform::FileSystem& fs) { platform::installFileSystem(&fs); }
    ~ScopedFileSystem() { platform::installFileSystem(nullptr); }
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;
};

}  // namespace tryster::test
