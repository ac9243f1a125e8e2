#pragma once
// A file held in memory, so that readers working through `File` (the
// container library, the archive reader) can check bytes that have not
// touched the disk: a shared date is read and checked before anything of it
// is written.

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tryster::platform {

class MemoryFile final : public File {
public:
    // Reads `bytes`, which must outlive the file; writes fail.
    static std::unique_ptr<MemoryFile> reading(std::span<const std::uint8_t> bytes);
    // Reads and writes `bytes` (growing them), which must outlive the file.
    static std::unique_ptr<MemoryFile> writing(std::vector<std::uint8_t>& bytes);

    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    bool seek(std::uint64_t offset) override;
    std::optional<std::uint64_t> position() override { return position_; }
    std::optional<std::uint64_t> size() override { return bytes().size(); }
    bool truncate(std::uint64_t size) override;
    bool flush() override { return true; }
    bool isWritable() const override { return writable_ != nullptr; }

private:
    MemoryFile(std::span<const std::uint8_t> readable, std::vector<std::uint8_t>* writable)
        : readable_(readable), writable_(writable) {}
    std::span<const std::uint8_t> bytes() const {
        return writable_ ? std::span<const std::uint8_t>(*writable_) : readable_;
    }

    std::span<const std::uint8_t> readable_;
    std::vector<std::uint8_t>* writable_;
    std::uint64_t position_ = 0;
};

}  // namespace tryster::platform
