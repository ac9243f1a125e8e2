#include "resfile/DataHandle.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>

namespace tryster::resfile {
namespace {

struct Block {
    std::uint8_t* data = nullptr;  // from calloc/realloc, at least one byte
    std::size_t size = 0;
    std::int16_t lockCount = 0;
};

struct HandleTable {
    std::unordered_map<std::uint64_t, Block> live;
    std::uint64_t nextId = 1;
    ResError lastError = kNoError;

    ~HandleTable() {
        for (auto& [id, block] : live) std::free(block.data);
    }
};

HandleTable& table() {
    static HandleTable t;
    return t;
}

Block* find(DataHandle handle) {
    auto& t = table();
    auto it = t.live.find(handle.value());
    if (it == t.live.end()) {
        t.lastError = kBadHandle;
        return nullptr;
    }
    t.lastError = kNoError;
    return &it->second;
}

}  // namespace

DataHandle NewDataHandle(std::size_t size) {
    auto& t = table();
    if (size > kMaxHandleSize) {
        t.lastError = kNoMemory;
        return {};
    }
    // calloc of a large block maps fresh zero pages without touching them.
    auto* data = static_cast<std::uint8_t*>(std::calloc(size ? size : 1, 1));
    if (!data) {
        t.lastError = kNoMemory;
        return {};
    }
    try {
        std::uint64_t id = t.nextId++;
        t.live.emplace(id, Block{data, size, 0});
        t.lastError = kNoError;
        return DataHandle(id);
    } catch (const std::bad_alloc&) {
        std::free(data);
        t.lastError = kNoMemory;
        return {};
    }
}

ResError DisposeDataHandle(DataHandle handle) {
    Block* block = find(handle);
    if (!block) return kBadHandle;
    std::free(block->data);
    table().live.erase(handle.value());
    return kNoError;
}

std::uint8_t* LockDataHandle(DataHandle handle) {
    Block* block = find(handle);
    if (!block) return nullptr;
    if (block->lockCount < std::numeric_limits<std::int16_t>::max()) ++block->lockCount;
    return block->data;
}

void UnlockDataHandle(DataHandle handle) {
    if (Block* block = find(handle); block && block->lockCount > 0) --block->lockCount;
}

std::size_t GetDataHandleSize(DataHandle handle) {
    Block* block = find(handle);
    return block ? block->size : 0;
}

bool IsDataHandleLocked(DataHandle handle) {
    Block* block = find(handle);
    return block && block->lockCount > 0;
}

ResError SetDataHandleSize(DataHandle handle, std::size_t size) {
    Block* block = find(handle);
    if (!block) return kBadHandle;
    auto& t = table();
    if (block->lockCount > 0) return t.lastError = kHandleLocked;
    if (size > kMaxHandleSize) return t.lastError = kNoMemory;
    if (size != block->size) {
        auto* data = static_cast<std::uint8_t*>(std::realloc(block->data, size ? size : 1));
        if (!data) return t.lastError = kNoMemory;
        if (size > block->size) std::memset(data + block->size, 0, size - block->size);
        block->data = data;
        block->size = size;
    }
    return kNoError;
}

ResError LastHandleError() { return table().lastError; }

bool isLiveHandle(DataHandle handle) {
    return handle && table().live.count(handle.value()) != 0;
}

std::span<std::uint8_t> handleBytes(DataHandle handle) {
    auto& t = table();
    auto it = t.live.find(handle.value());
    if (it == t.live.end()) return {};
    return {it->second.data, it->second.size};
}

DataHandle newHandleWith(std::span<const std::uint8_t> bytes) {
    DataHandle handle = NewDataHandle(bytes.size());
    if (handle && !bytes.empty()) std::memcpy(handleBytes(handle).data(), bytes.data(), bytes.size());
    return handle;
}

std::size_t liveHandleCount() { return table().live.size(); }

}  // namespace tryster::resfile
