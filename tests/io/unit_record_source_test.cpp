#include "io/unit_record_source.h"

#include <cerrno>
#include <string>

#include "io/records_fixture.h"
#include "reporting/error_numbers.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::RecordsTest;

using UnitRecordSourceTest = RecordsTest;

// The scanner passes only numbers on: the failure that ends a statement must
// still carry the failing read's system code, and only a read's.
TEST_F(UnitRecordSourceTest, FailureKeepsTheSystemCodeOfTheFailingRead) {
    const std::string name = dir.file("input.txt");
    test_support::write_bytes(name, "1 2 3\r\r\n");
    io::UnitRecordSource records{10};
    std::string_view record;
    EXPECT_EQ(records.next_record(record), err::kOpenFailure);  // not connected yet

    ASSERT_EQ(open(10, name).number, 0);
    ASSERT_EQ(records.next_record(record), 0);
    EXPECT_EQ(record, "1 2 3");
    // A number of the scanner's own carries no code.
    const io::IoResult syntax = records.failure(err::kSyntaxError);
    EXPECT_EQ(syntax.number, err::kSyntaxError);
    EXPECT_EQ(syntax.unit, 10);
    EXPECT_EQ(syntax.system_error, 0u);

    const ScopedSyscallFailure failure{Syscall::read, 1, platform::ErrorCategory::other};
    ASSERT_EQ(records.next_record(record), err::kReadError);
    const io::IoResult read = records.failure(err::kReadError);
    EXPECT_EQ(read.unit, 10);
    EXPECT_EQ(read.system_error, platform::testing::system_code(platform::ErrorCategory::other));
}

}  // namespace
