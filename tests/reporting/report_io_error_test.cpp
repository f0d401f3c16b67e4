#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/testing.h"
#include "reporting/report.h"

namespace {

void report_open_failure(std::uint32_t saved_error) {
    platform::testing::set_environment_variable("FOR_DISABLE_STACK_TRACE", "1");
    rt::report_io_error(30, {20, "/d/3dpoint.dxf", saved_error});
}

constexpr char kOpenFailure[] = "forrtl: severe \\(30\\): open failure, unit 20, file /d/3dpoint.dxf\r\n$";

class ReportIoError : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// The saved code's line (or its substitute, on a line of its own) comes
// first.
TEST_F(ReportIoError, SystemLineComesFirst) {
    struct Case {
        std::uint32_t saved_error;
        std::string before;
    };
    const platform::SystemError denied = platform::testing::system_code(platform::ErrorCategory::access_denied);
    char denied_text[1024];
    const std::size_t denied_length = platform::system_error_text(denied, denied_text);
    ASSERT_GT(denied_length, 0u);
    const Case cases[] = {
        {denied, "forrtl: " + std::string(denied_text, denied_length)},
        {987654, "forrtl: FormatMessage failed for sysmem message number 987654\n"},
        {0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(report_open_failure(c.saved_error), testing::ExitedWithCode(30), "^" + c.before + kOpenFailure)
            << c.saved_error;
    }
}

}  // namespace
