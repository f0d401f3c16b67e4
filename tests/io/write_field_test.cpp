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
        const ScopedSyscallFailure refused{Syscall::open, 1, platform::ErrorCategory::access_denied};
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

// A given record length limits the record's text, never a minimal-width
// field's scratch width (12 for I0, 42 for F0.1), which stays off the record.
TEST_F(WriteFieldTest, GivenRecordLengthLimitsTheTextOnly) {
    const ScopedEnv env{"FORT_FMT_RECL", "10"};
    reread_settings();
    const std::string name = dir.file("3dpoint.dxf");
    ASSERT_EQ(open(20, name).number, 0);
    const float largest = 3.40282346638528859811704183484516925440e+38f;
    struct Case {
        io::FieldSpec spec;
        ItemValue value;
        const char* record;  // null: 66, nothing written
    };
    // The record area is the length plus the carriage-control position: 11.
    const Case cases[] = {
        {field::A, ItemValue::of(std::string_view{"0123456789A"}), "0123456789A"},
        {field::A, ItemValue::of(std::string_view{"0123456789AB"}), nullptr},
        {field::F0_1, ItemValue::of(1.0f), "1.0"},
        {field::F0_1, ItemValue::of(-12345678.0f), "-12345678.0"},
        {field::F0_1, ItemValue::of(-123456789.0f), nullptr},  // "-123456792.0", 12 characters
        {field::F0_1, ItemValue::of(largest), nullptr},
        {field::I0, ItemValue::of(-2147483647 - 1), "-2147483648"},
        {field::I0, ItemValue::of(7), "7"},
    };
    std::string expected;
    for (const Case& c : cases) {
        const io::IoResult result = io::write_field(20, c.spec, c.value);
        EXPECT_EQ(result.number, c.record == nullptr ? err::kRecordOverflow : 0) << c.record;
        if (c.record != nullptr) expected += std::string{c.record} + "\r\n";
    }
    // A minimal field with an item it cannot take still fails as a mismatch.
    EXPECT_EQ(io::write_field(20, field::I0, ItemValue::of(1.5f)).number, err::kTypeMismatch);
    ASSERT_EQ(io::close_unit(20).number, 0);
    EXPECT_EQ(read_bytes(name), expected);

    // A scratch width past the stack's 64 (F0.30: 71) is taken for the statement.
    const ScopedEnv longer{"FORT_FMT_RECL", "40"};
    reread_settings();
    ASSERT_EQ(open(20, name).number, 0);
    const io::FieldSpec f0_30{io::FieldKind::real, 0, 30};
    EXPECT_EQ(io::write_field(20, f0_30, ItemValue::of(0.5f)).number, 0);
    EXPECT_EQ(io::write_field(20, f0_30, ItemValue::of(-123456789.0f)).number, 0);  // 41: just fits
    EXPECT_EQ(io::write_field(20, f0_30, ItemValue::of(-1234567890.0f)).number, err::kRecordOverflow);
    ASSERT_EQ(io::close_unit(20).number, 0);
    const std::string zeros(29, '0');
    EXPECT_EQ(read_bytes(name), ".5" + zeros + "\r\n-123456792.0" + zeros + "\r\n");
}

}  // namespace
