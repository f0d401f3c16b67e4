#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/report.h"

namespace {

void announce_settle(int disposition, std::int32_t unit) { std::fprintf(stderr, "settle %d %d\n", disposition, unit); }

void report_open_failure(int disposition, std::uint32_t saved_error) {
    setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
    rt::UnitErrorInfo unit{20, "/d/3dpoint.dxf", saved_error};
    rt::report_io_error(disposition, 30, 0, unit, announce_settle);
}

constexpr char kOpenFailure[] = "forrtl: severe \\(30\\): open failure, unit 20, file /d/3dpoint.dxf\r\n$";

class ReportIoError : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ReportIoError, SystemErrorLineComesFirst) {
    EXPECT_EXIT(report_open_failure(0, EACCES), testing::ExitedWithCode(30),
                std::string("^forrtl: Permission denied\n") + kOpenFailure);
}

TEST_F(ReportIoError, CodeWithoutTextGetsTheSubstituteOnALineOfItsOwn) {
    EXPECT_EXIT(report_open_failure(0, 4321), testing::ExitedWithCode(30),
                std::string("^forrtl: FormatMessage failed for sysmem message number 4321\n") + kOpenFailure);
}

TEST_F(ReportIoError, DispositionSettlesTheUnitBeforeTheReport) {
    EXPECT_EXIT(report_open_failure(0, 0), testing::ExitedWithCode(30), std::string("^") + kOpenFailure);
    for (const int disposition : {1, 2, 3}) {
        EXPECT_EXIT(report_open_failure(disposition, 0), testing::ExitedWithCode(30),
                    "^settle " + std::to_string(disposition) + " 20\n" + kOpenFailure);
    }
}

TEST_F(ReportIoError, UnknownDispositionIsAnInternalFailure) {
    EXPECT_EXIT(report_open_failure(4, 0), testing::ExitedWithCode(8),
                "^forrtl: severe \\(8\\): internal consistency check failure, file for_report_io_error, line "
                "[0-9]+\r\n$");
}

TEST_F(ReportIoError, NameLongerThanTheReportIsCut) {
    const std::string name(20000, 'n');
    EXPECT_EXIT(
        {
            setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
            rt::report_io_error(0, 29, 0, rt::UnitErrorInfo{10, name, 0}, nullptr);
        },
        testing::ExitedWithCode(29), "^forrtl: severe \\(29\\): file not found, unit 10, file n{100}.*n\r\n$");
}

TEST_F(ReportIoError, FailuresTheStatementTakesAreHandedBack) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(rt::report_io_error(0, 63, 0, {20, "f", EIO, rt::branch_quiet_conversion}, announce_settle), 63);
    EXPECT_EQ(rt::report_io_error(0, 24, 0, {10, "f", 0, rt::branch_end_of_file}, announce_settle), 24);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
