#include "io/statement.h"

#include <string>

#include "reporting/error_numbers.h"
#include "io/records_fixture.h"
#include "io/report_capture.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::count_of;
using test_support::RecordsTest;
using test_support::ReportCapture;

using FinishStatementTest = RecordsTest;

TEST_F(FinishStatementTest, FailedOpenIsReportedWithTheFullNameAndCode) {
    const std::string name = dir.file("input.txt");
    ReportCapture reports;
    {
        const ScopedSyscallFailure failure{Syscall::open, 1, platform::ErrorCategory::other};
        EXPECT_EQ(io::finish_statement(open(10, name)), err::kOpenFailure);
    }
    const std::string text = reports.text();
    char system_text[1024];
    const std::size_t length = platform::system_error_text(
        platform::testing::system_code(platform::ErrorCategory::other), system_text);
    EXPECT_EQ(count_of(text, "forrtl: " + std::string(system_text, length)), 1) << text;
    EXPECT_EQ(count_of(text, "forrtl: severe (30): open failure, unit 10, file " + name + "\r\n"), 1) << text;
    // The half-made connection is gone once reported; the unit opens again.
    EXPECT_EQ(io::find_slot(10)->connection, nullptr);
    EXPECT_EQ(open(10, name).number, 0);
}

// The device that is always full: Windows programs under Wine reach it too,
// by the name Wine shows for it.
TEST_F(FinishStatementTest, SavedCodeIsShownOncePerFailure) {
    ASSERT_EQ(open(20, "/dev/full").number, 0);
    const std::string shown_name{test_support::connected_unit(20)->name()};
    ReportCapture reports;
    EXPECT_EQ(io::finish_statement(put_record(20, "x")), err::kWriteError);
    EXPECT_EQ(io::finish_statement(put_record(20, "x")), err::kWriteError);
    const std::string text = reports.text();
    char full_text[1024];
    const std::size_t length = platform::system_error_text(
        platform::testing::system_code(platform::ErrorCategory::disk_full), full_text);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(count_of(text, "forrtl: " + std::string(full_text, length)), 2) << text;
    EXPECT_EQ(count_of(text, "forrtl: severe (38): error during write, unit 20, file " + shown_name + "\r\n"), 2) << text;
}

}  // namespace
