#pragma once
// Counts the heap allocations (operator new) made between start and stop.
// Linking AllocationCounter.cpp replaces the program's operator new and
// delete with counting ones over malloc and free.

#include <cstddef>

namespace tryster::test {

struct AllocationCount {
    long count = 0;
    std::size_t bytes = 0;
};

void startCountingAllocations();
AllocationCount stopCountingAllocations();

}  // namespace tryster::test
