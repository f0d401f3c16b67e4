#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/testing.h"
#include "reporting/report.h"

namespace {

void announce_settle(int disposition, std::int32_t unit) { std::fprintf(stderr, "settle %d %d\n", disposition, unit); }

void report_open_failure(int disposition, std::uint32_t saved_error) {
    platform::testing::set_environment_variable("FOR_DISABLE_STACK_TRACE", "1");
    rt::UnitErrorInfo unit{20, "/d/3dpoint.dxf", saved_error};
    rt::report_io_error(disposition, 30, 0, unit, announce_settle);
}

constexpr char kOpenFailure[] = "forrtl: severe \\(30\\): open failure, unit 20, file /d/3dpoint.dxf\r\n$";

class ReportIoError : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// The saved code's line (or its substitute, on a line of its own) comes
// first; a disposition settles the unit before anything is written.
TEST_F(ReportIoError, SystemLineAndDisposition) {
    struct Case {
        int disposition;
        std::uint32_t saved_error;
        std::string before;
    };
    const platform::SystemError denied = platform::testing::system_code(platform::ErrorCategory::access_denied);
    char denied_text[1024];
    const std::size_t denied_length = platform::system_error_text(denied, denied_text);
    ASSERT_GT(denied_length, 0u);
    const Case cases[] = {
        {0, denied, "forrtl: " + std::string(denied_text, denied_length)},
        {0, 987654, "forrtl: FormatMessage failed for sysmem message number 987654\n"},
        {0, 0, ""},
        {1, 0, "settle 1 20\n"},
        {3, 0, "settle 3 20\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(report_open_failure(c.disposition, c.saved_error), testing::ExitedWithCode(30),
                    "^" + c.before + kOpenFailure)
            << c.disposition << " " << c.saved_error;
    }
}

// The line is that of the check inside the reporter: any number. (Written
// without a character class, which not every platform's death-test regex has.)
TEST_F(ReportIoError, UnknownDispositionIsAnInternalFailure) {
    const auto internal_failure_line = [](const std::string& text) {
        constexpr std::string_view start =
            "forrtl: severe (8): internal consistency check failure, file for_report_io_error, line ";
        if (!text.starts_with(start) || !text.ends_with("\r\n")) return false;
        const std::string_view line = std::string_view{text}.substr(start.size(), text.size() - start.size() - 2);
        return !line.empty() && line.find_first_not_of("0123456789") == std::string_view::npos;
    };
    EXPECT_EXIT(report_open_failure(4, 0), testing::ExitedWithCode(8), testing::Truly(internal_failure_line));
}

TEST_F(ReportIoError, FailuresTheStatementTakesAreHandedBack) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(rt::report_io_error(0, 63, 0, {20, "f", 5, rt::branch_quiet_conversion}, announce_settle), 63);
    EXPECT_EQ(rt::report_io_error(0, 24, 0, {10, "f", 0, rt::branch_end_of_file}, announce_settle), 24);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
