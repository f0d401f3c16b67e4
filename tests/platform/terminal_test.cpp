#include "platform/terminal.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MonotonicClock, NeverRunsBackwards) {
    std::uint64_t last = platform::monotonic_nanoseconds();
    EXPECT_GT(last, 0u);
    for (int i = 0; i < 10000; ++i) {
        const std::uint64_t now = platform::monotonic_nanoseconds();
        ASSERT_GE(now, last);
        last = now;
    }
}

}  // namespace
