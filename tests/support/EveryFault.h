#pragma once
// Runs an operation once for every disk change it makes, failing that
// change, to show that no failure point loses a file.

#include "support/FaultyFileSystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace tryster::test {

// Runs `attempt` once without a fault, then once for every operation that
// run counted (writes, or every change with `faulty.everyChange`), with
// that operation failing; `prepare` puts the files back before each run.
// The number of operations of the run without a fault.
inline std::uint64_t forEveryFault(FaultyFileSystem& faulty, const std::function<void()>& prepare,
                                   const std::function<void(std::uint64_t n)>& attempt) {
    prepare();
    faulty.failFrom = 0;
    faulty.writes = 0;
    attempt(0);
    const std::uint64_t total = faulty.writes;
    for (std::uint64_t n = 1; n <= total; ++n) {
        SCOPED_TRACE(::testing::Message() << "operation " << n << " of " << total << " fails");
        prepare();
        faulty.writes = 0;
        faulty.failFrom = n;
        attempt(n);
        faulty.failFrom = 0;
    }
    return total;
}

}  // namespace tryster::test
