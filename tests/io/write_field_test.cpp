#include "io/write_field.h"

#include <cerrno>
#include <string>

#include "reporting/error_numbers.h"
#include "io/records_fixture.h"

namespace {

using io::ItemValue;
namespace field = io::field;
using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::read_bytes;
using test_support::RecordsTest;
using test_support::ScopedEnv;

using WriteFieldTest = RecordsTest;

TEST_F(WriteFieldTest, EachStatementWritesOneRecordOfItsField) {
    const std::string name = dir.file("3dpoint.dxf");
    test_support::write_bytes(name, std::string(5000, 'o'));
    ASSERT_EQ(open(20, name).number, 0);
    const std::string long_text(300, 'L');
    struct Case {
        io::FieldSpec spec;
        ItemValue value;
    };
    const Case cases[] = {
        {field::I3, ItemValue::of(40)},
        {field::A, ItemValue::of(std::string_view{"EOF"})},
        {field::F0_1, ItemValue::of(2.5f)},
        {field::A, ItemValue::of(std::string_view{long_text})},  // past the default record length
        {field::I1, ItemValue::of(10)},
    };
    for (const Case& c : cases) ASSERT_EQ(io::write_field(20, c.spec, c.value).number, 0);
    ASSERT_EQ(io::close_unit(20).number, 0);
    EXPECT_EQ(read_bytes(name), " 40\r\nEOF\r\n2.5\r\n" + long_text + "\r\n*\r\n");
}

TEST_F(WriteFieldTest, ReadOnlyConnectionRefusesBeforeFormatting) {
    const std::string name = dir.file("3dpoint.dxf");
    test_support::write_bytes(name, "old\r\n");
    {
        const ScopedSyscallFailure refused{Syscall::open, 1, EACCES};
        ASSERT_EQ(open(20, name).number, 0);
    }
    // Even a value that could not be formatted meets the read-only check first.
    EXPECT_EQ(io::write_field(20, field::I3, ItemValue::of(std::string_view{"x"})).number, err::kWriteToReadOnly);
    EXPECT_EQ(io::write_field(20, field::A, ItemValue::of(std::string_view{"SECTION"})).number, err::kWriteToReadOnly);
    ASSERT_EQ(io::close_unit(20).number, 0);
    EXPECT_EQ(read_bytes(name), "old\r\n");
}

TEST_F(WriteFieldTest, StringUnderANumericFieldWritesNothing) {
    const std::string name = dir.file("3dpoint.dxf");
    ASSERT_EQ(open(20, name).number, 0);
    ASSERT_EQ(io::write_field(20, field::A, ItemValue::of(std::string_view{"  0"})).number, 0);
    EXPECT_EQ(io::write_field(20, field::I3, ItemValue::of(std::string_view{"1"})).number, err::kTypeMismatch);
    EXPECT_EQ(io::write_field(20, field::F0_1, ItemValue::of(std::string_view{"1"})).number, err::kTypeMismatch);
    ASSERT_EQ(io::write_field(20, field::I3, ItemValue::of(0)).number, 0);
    ASSERT_EQ(io::close_unit(20).number, 0);
    EXPECT_EQ(read_bytes(name), "  0\r\n  0\r\n");
}

TEST_F(WriteFieldTest, GivenRecordLengthStopsAWideField) {
    const ScopedEnv env{"FORT_FMT_RECL", "10"};
    reread_settings();
    ASSERT_EQ(open(20, dir.file("3dpoint.dxf")).number, 0);
    // The record area is the length plus the carriage-control position.
    EXPECT_EQ(io::write_field(20, field::A, ItemValue::of(std::string_view{"0123456789A"})).number, 0);
    EXPECT_EQ(io::write_field(20, field::A, ItemValue::of(std::string_view{"0123456789AB"})).number, err::kRecordOverflow);
    // A minimal-width real needs its whole scratch width, whatever its value.
    EXPECT_EQ(io::write_field(20, field::F0_1, ItemValue::of(1.0f)).number, err::kRecordOverflow);
}

}  // namespace
