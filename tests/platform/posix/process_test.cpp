#include "platform/process.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Eight bits of status: a wider number ends with 255 instead of wrapping to
// an unrelated status (500 would read as 244).
TEST(ExitStatusFor, WiderNumbersEndWith255) {
    const std::pair<int, int> cases[] = {{0, 0}, {24, 24}, {255, 255}, {256, 255}, {500, 255}, {779, 255}};
    for (const auto& [number, status] : cases) EXPECT_EQ(platform::exit_status_for(number), status) << number;
}

}  // namespace
