#pragma once
// Data handles: the movable blocks in which resource data travels between a
// resource file and its callers.
//
// A handle is an opaque number, never reused within a process, that names a
// block in the process-wide list of live handles. Every operation looks the
// number up first, so a handle that was already disposed (or never existed)
// is answered with kBadHandle instead of touching freed memory, and no block
// is ever freed twice. Blocks are zero-filled when allocated or grown, so
// nothing of earlier memory can reach a file.
//
// Not thread-safe, like the rest of the library.

#include "resfile/ResError.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace tryster::resfile {

class DataHandle {
public:
    constexpr DataHandle() = default;
    explicit operator bool() const { return id_ != 0; }
    friend bool operator==(DataHandle, DataHandle) = default;
    std::uint64_t value() const { return id_; }

private:
    friend DataHandle NewDataHandle(std::size_t size);
    explicit constexpr DataHandle(std::uint64_t id) : id_(id) {}
    std::uint64_t id_ = 0;
};

// No resource can hold more, so a larger request (typically a damaged size
// field) is answered as exhausted memory rather than tried.
inline constexpr std::size_t kMaxHandleSize = std::size_t{1} << 30;

// A new zero-filled block; an empty handle and kNoMemory when the memory is
// exhausted.
DataHandle NewDataHandle(std::size_t size);
// Unlinks and frees the block; kBadHandle when it is not live.
ResError DisposeDataHandle(DataHandle handle);
// Counts a lock and returns the data (null when the handle is not live).
std::uint8_t* LockDataHandle(DataHandle handle);
void UnlockDataHandle(DataHandle handle);
// Byte size (0 when the handle is not live).
std::size_t GetDataHandleSize(DataHandle handle);
bool IsDataHandleLocked(DataHandle handle);
// Keeps the contents up to the smaller size and zero-fills growth;
// kHandleLocked while locked, kNoMemory when memory is exhausted.
ResError SetDataHandleSize(DataHandle handle, std::size_t size);
// Result of the last handle operation (0 on success).
ResError LastHandleError();

// Whether the handle names a block of the live list.
bool isLiveHandle(DataHandle handle);
// The block's bytes without counting a lock; empty when not live. Valid
// until the handle is resized or disposed.
std::span<std::uint8_t> handleBytes(DataHandle handle);
// A new handle holding a copy of `bytes`.
DataHandle newHandleWith(std::span<const std::uint8_t> bytes);
// Number of live handles in the process (for leak checks).
std::size_t liveHandleCount();

}  // namespace tryster::resfile

template <>
struct std::hash<tryster::resfile::DataHandle> {
    std::size_t operator()(tryster::resfile::DataHandle h) const noexcept {
        return std::hash<std::uint64_t>{}(h.value());
    }
};
