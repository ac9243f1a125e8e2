#include "platform/MemoryFile.h"

#include <algorithm>
#include <cstring>

namespace tryster::platform {
namespace {

// Far beyond any file the program keeps in memory; a seek or write past it
// is refused instead of growing a buffer without end.
constexpr std::uint64_t kMaxMemoryFileSize = std::uint64_t{1} << 32;

}  // namespace

std::unique_ptr<MemoryFile> MemoryFile::reading(std::span<const std::uint8_t> bytes) {
    return std::unique_ptr<MemoryFile>(new MemoryFile(bytes, nullptr));
}

std::unique_ptr<MemoryFile> MemoryFile::writing(std::vector<std::uint8_t>& bytes) {
    return std::unique_ptr<MemoryFile>(new MemoryFile({}, &bytes));
}

std::size_t MemoryFile::read(void* buffer, std::size_t count) {
    const std::span<const std::uint8_t> all = bytes();
    if (position_ >= all.size()) return 0;
    const std::size_t n = std::min<std::uint64_t>(count, all.size() - position_);
    std::memcpy(buffer, all.data() + position_, n);
    position_ += n;
    return n;
}

std::size_t MemoryFile::write(const void* buffer, std::size_t count) {
    if (!writable_ || count > kMaxMemoryFileSize - position_) return 0;
    const std::size_t end = static_cast<std::size_t>(position_) + count;
    if (end > writable_->size()) writable_->resize(end);
    if (count > 0) std::memcpy(writable_->data() + position_, buffer, count);
    position_ = end;
    return count;
}

bool MemoryFile::seek(std::uint64_t offset) {
    if (offset > kMaxMemoryFileSize) return false;
    position_ = offset;
    return true;
}

bool MemoryFile::truncate(std::uint64_t newSize) {
    if (!writable_ || newSize > kMaxMemoryFileSize) return false;
    writable_->resize(static_cast<std::size_t>(newSize));
    return true;
}

}  // namespace tryster::platform
