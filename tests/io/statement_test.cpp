#include "io/statement.h"

#include <cerrno>
#include <string>

#include "io/error_numbers.h"
#include "io/records_fixture.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::RecordsTest;
using test_support::reported;

using FinishStatementTest = RecordsTest;

TEST_F(FinishStatementTest, SuccessIsNotReported) {
    EXPECT_EQ(io::finish_statement(0, 10), 0);
    EXPECT_TRUE(reported().empty());
}

TEST_F(FinishStatementTest, FailedOpenIsReportedWithTheFullNameAndCode) {
    const std::string name = dir.file("input.txt");
    {
        const ScopedSyscallFailure failure{Syscall::open, 1, EIO};
        EXPECT_EQ(io::finish_statement(open(10, name), 10), io::err::kOpenFailure);
    }
    ASSERT_EQ(reported().size(), 1u);
    EXPECT_EQ(reported()[0].number, io::err::kOpenFailure);
    EXPECT_EQ(reported()[0].unit, 10);
    EXPECT_EQ(reported()[0].file_name, name);
    EXPECT_EQ(reported()[0].saved_system_error, static_cast<platform::SystemError>(EIO));
    // The half-made connection is gone once reported; the unit opens again.
    EXPECT_EQ(io::find_connection(10), nullptr);
    EXPECT_EQ(open(10, name), 0);
}

TEST_F(FinishStatementTest, SavedCodeIsShownOnce) {
    ASSERT_EQ(open(20, "/dev/full"), 0);
    EXPECT_EQ(io::finish_statement(put_record(20, "x"), 20), io::err::kWriteError);
    EXPECT_EQ(io::finish_statement(put_record(20, "x"), 20), io::err::kWriteError);
    ASSERT_EQ(reported().size(), 2u);
    EXPECT_EQ(reported()[0].saved_system_error, static_cast<platform::SystemError>(ENOSPC));
    EXPECT_EQ(reported()[0].file_name, "/dev/full");
    // The second failure saved its own code again.
    EXPECT_EQ(reported()[1].saved_system_error, static_cast<platform::SystemError>(ENOSPC));
    EXPECT_NE(io::find_connected(20), nullptr);
}

TEST_F(FinishStatementTest, FailedCloseStillNamesTheFile) {
    const std::string name = dir.file("3dpoint.dxf");
    ASSERT_EQ(open(20, name), 0);
    {
        const ScopedSyscallFailure failure{Syscall::close, 1, EIO};
        EXPECT_EQ(io::finish_statement(io::close_unit(20), 20), io::err::kCloseError);
    }
    ASSERT_EQ(reported().size(), 1u);
    EXPECT_EQ(reported()[0].file_name, name);
    EXPECT_EQ(io::find_connection(20), nullptr);
}

}  // namespace
