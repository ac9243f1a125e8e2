#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> count{0};
std::atomic<std::size_t> bytes{0};

}  // namespace

namespace tryster::test {

void startCountingAllocations() {
    count = 0;
    bytes = 0;
    counting = true;
}

AllocationCount stopCountingAllocations() {
    counting = false;
    return {count, bytes};
}

}  // namespace tryster::test

// The other forms call these, so every allocation is counted and freed by free().
void* operator new(std::size_t size) {
    if (counting) {
        ++count;
        bytes += size;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
