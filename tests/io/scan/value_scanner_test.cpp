#include "io/scan/value_scanner.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace io {
namespace {

// Lines from memory, cut to records as the unit reader cuts them. Each line is
// copied into one reused buffer, so a view kept past the next record sees
// other bytes, as with the real reader.
class MemoryRecords final : public RecordSource {
public:
    explicit MemoryRecords(std::vector<std::string> records, int error_at_end = 24)
        : records_(std::move(records)), error_at_end_(error_at_end) {}

    int next_record(std::string_view& record) override {
        if (next_ == records_.size()) return error_at_end_;
        current_.assign(records_[next_++]);
        return cut_record(current_, true, true, record);
    }

private:
    std::vector<std::string> records_;
    std::size_t next_ = 0;
    int error_at_end_;
    std::string current_ = std::string(4096, '#');
};

constexpr std::int32_t untouched = 777;

struct IntegerCase {
    std::vector<std::string> records;
    int error;
    std::int32_t value;
};

TEST(IntegerStatement, ReadsTheCount) {
    const IntegerCase cases[] = {
        {{"3"}, 0, 3},
        {{"  +003  "}, 0, 3},
        {{"3 points follow"}, 0, 3},
        {{"", "  \t ", "5"}, 0, 5},
        {{"2.9"}, 0, 2},
        {{"-2.5"}, 0, -2},
        {{"1e2"}, 0, 100},
        {{"3."}, 0, 3},
        {{"5E9"}, 0, INT32_MIN},
        {{"-5E9"}, 0, INT32_MIN},
        {{"1e400"}, 64, untouched},
        {{"2147483647"}, 0, 2147483647},
        {{"-2147483648"}, 0, INT32_MIN},
        {{"2147483648"}, 64, untouched},
        {{"12-3"}, 64, untouched},
        {{"1+5"}, 64, untouched},
        {{"abc"}, 59, untouched},
        {{"."}, 59, untouched},
        {{"-"}, 59, untouched},
        {{"*5"}, 59, untouched},
        {{"3;"}, 59, untouched},
        {{"1.2.3"}, 59, untouched},
        {{"T"}, 64, untouched},
        {{".TRUE."}, 64, untouched},
        {{"'7'"}, 64, untouched},
        {{"INF"}, 64, untouched},
        {{","}, 0, untouched},
        {{"/"}, 0, untouched},
        {{"3*7"}, 0, 7},
        {{"0*7"}, 0, 7},
        {{"2*"}, 0, untouched},
        {{"2.5*1"}, 64, untouched},
        {{"(5,3)"}, 0, 5},
        {{}, 24, untouched},
        {{"\x1a"}, 24, untouched},
        {{"\x1a\r\r"}, 24, untouched},
        {{"\xEF\xBB\xBF" "3"}, 59, untouched},
        {{"   "}, 24, untouched},
    };
    for (const IntegerCase& c : cases) {
        MemoryRecords records(c.records);
        ValueScanner scanner;
        std::int32_t n = untouched;
        int error = scanner.begin_statement(records);
        if (error == 0) error = scanner.read_item(n);
        scanner.end_statement();
        const std::string where = c.records.empty() ? "(no records)" : c.records.front();
        EXPECT_EQ(error, c.error) << where;
        EXPECT_EQ(n, c.value) << where;
    }
}

constexpr std::uint32_t U = 0x41100000;  // 9.0: an item the statement left alone

struct RealCase {
    std::vector<std::string> records;
    int error;
    std::array<std::uint32_t, 3> bits;  // checked when error is 0
};

void PrintTo(const RealCase& c, std::ostream* out) {
    for (const std::string& record : c.records) *out << '[' << record.substr(0, 40) << ']';
}

std::uint32_t bits_of(float f) { return std::bit_cast<std::uint32_t>(f); }

constexpr std::uint32_t one = 0x3F800000, two = 0x40000000, three = 0x40400000, four = 0x40800000;
constexpr std::uint32_t one_and_half = 0x3FC00000;

class RealStatement : public testing::TestWithParam<RealCase> {};

TEST_P(RealStatement, ReadsThreeReals) {
    const RealCase& c = GetParam();
    MemoryRecords records(c.records);
    ValueScanner scanner;
    std::array<float, 3> xyz{9.0f, 9.0f, 9.0f};
    int error = scanner.begin_statement(records);
    for (float& item : xyz) {
        if (error == 0) error = scanner.read_item(item);
    }
    scanner.end_statement();
    ASSERT_EQ(error, c.error);
    if (error == 0) {
        EXPECT_EQ(bits_of(xyz[0]), c.bits[0]);
        EXPECT_EQ(bits_of(xyz[1]), c.bits[1]);
        EXPECT_EQ(bits_of(xyz[2]), c.bits[2]);
    }
}

const std::string long_string(2049, 'a');

INSTANTIATE_TEST_SUITE_P(
    Separators, RealStatement,
    testing::Values(RealCase{{"1 2 3"}, 0, {one, two, three}}, RealCase{{"1,2,3"}, 0, {one, two, three}},
                    RealCase{{"1 , 2 ,3"}, 0, {one, two, three}}, RealCase{{"1\t2\t3"}, 0, {one, two, three}},
                    RealCase{{"1,,3"}, 0, {one, U, three}}, RealCase{{",2,3"}, 0, {U, two, three}},
                    RealCase{{",,,"}, 0, {U, U, U}}, RealCase{{"1", "2", "3"}, 0, {one, two, three}},
                    RealCase{{"1", ",2,3"}, 0, {one, two, three}}, RealCase{{"1,", ",3"}, 0, {one, U, three}},
                    RealCase{{"1,,", ",5"}, 0, {one, U, U}}, RealCase{{"1,", "", "  ", ",3"}, 0, {one, U, three}},
                    RealCase{{"", " ", ",2,3"}, 0, {U, two, three}},
                    RealCase{{"1", "", ",2", "3"}, 0, {one, two, three}},
                    RealCase{{"1 2 /"}, 0, {one, two, U}}, RealCase{{"1/2 3"}, 0, {one, U, U}},
                    RealCase{{"1 \r 2 3"}, 0, {one, two, three}}, RealCase{{"1\r\r", "2 3"}, 0, {one, two, three}},
                    RealCase{{"1\r2 3 4"}, 59, {}}, RealCase{{"1 2"}, 24, {}}));

INSTANTIATE_TEST_SUITE_P(
    Repeats, RealStatement,
    testing::Values(RealCase{{"3*1.5"}, 0, {one_and_half, one_and_half, one_and_half}},
                    RealCase{{"2*1.5 4"}, 0, {one_and_half, one_and_half, four}},
                    RealCase{{"2* 4"}, 0, {U, U, four}}, RealCase{{"3*"}, 0, {U, U, U}},
                    RealCase{{"2*,4"}, 0, {U, U, four}}, RealCase{{"-3*1 2 3"}, 0, {one, two, three}},
                    RealCase{{"2*/ 4"}, 0, {U, U, U}}, RealCase{{"2*3*4"}, 59, {}},
                    RealCase{{"2*T"}, 64, {}},
                    // The repeated value's text outlives its record.
                    RealCase{{"2*(1.5,", "2.5)", "4"}, 0, {one_and_half, one_and_half, four}}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, RealStatement,
    testing::Values(RealCase{{"1.5+3 2D1 -.5q-1"}, 0, {0x44BB8000, 0x41A00000, 0xBD4CCCCD}},
                    RealCase{{"1.5E 3 4"}, 0, {one_and_half, three, four}},
                    RealCase{{"12345678.5 -9999999.999\t87654321.87654321"}, 0, {0x4B3C614E, 0xCB189680, 0x4CA72FF6}},
                    RealCase{{"-0 0 +0"}, 0, {0x80000000, 0, 0}},
                    RealCase{{"INF -Infinity NaN"}, 0, {0x7F800000, 0xFF800000, 0xFFC00000}},
                    RealCase{{"+nan NaN(1_a) 1"}, 0, {0x7FC00000, 0xFFC00000, one}},
                    RealCase{{"INFINITE"}, 64, {}}, RealCase{{"NaN(a b)"}, 64, {}},
                    RealCase{{"3.4028235e38 1.4e-45 7.1e-46"}, 0, {0x7F7FFFFF, 1, 1}},
                    RealCase{{"7e-46 1e-50 ." + std::string(50, '0') + "1"}, 0, {0, 0, 0}},
                    RealCase{{"3.4028236e38"}, 64, {}}, RealCase{{"1e39"}, 64, {}},
                    RealCase{{"1" + std::string(50, '0') + "E-5"}, 64, {}}, RealCase{{"1.0.0"}, 59, {}},
                    RealCase{{"1e5e5"}, 59, {}}, RealCase{{"--1"}, 59, {}}, RealCase{{"1-"}, 59, {}},
                    RealCase{{"e5"}, 59, {}}, RealCase{{"1a"}, 59, {}}, RealCase{{"1;2"}, 59, {}},
                    RealCase{{"5E+"}, 59, {}}, RealCase{{"1-e5"}, 59, {}}, RealCase{{"1e 2 3"}, 0, {one, two, three}},
                    RealCase{{"1+2+3"}, 64, {}}, RealCase{{"1E5.5"}, 64, {}}, RealCase{{".5 .t"}, 64, {}},
                    RealCase{{"1 'abc' 3"}, 64, {}}, RealCase{{"'it''s"}, 59, {}},
                    RealCase{{"'abc", "def'"}, 64, {}}, RealCase{{"'abc"}, 59, {}},
                    RealCase{{"'" + long_string + "'"}, 64, {}}, RealCase{{"'" + long_string + "b'"}, 59, {}},
                    RealCase{{"'" + long_string, "'"}, 64, {}}, RealCase{{"'a'", "'b'"}, 64, {}}));

INSTANTIATE_TEST_SUITE_P(
    Pairs, RealStatement,
    testing::Values(RealCase{{"(1.5, 2.5) 3 4"}, 0, {one_and_half, three, four}},
                    RealCase{{"(1.5,", "", " 2.5", ")", "3 4"}, 0, {one_and_half, three, four}},
                    RealCase{{"(1, -nan(x)) (2,Inf) 3"}, 0, {one, two, three}},
                    RealCase{{"(1.5 2.5)"}, 59, {}}, RealCase{{"(1.5)"}, 59, {}},
                    RealCase{{"(1.5, 2.5E-1)"}, 59, {}}, RealCase{{"(1, nan(x", ")"}, 59, {}},
                    RealCase{{"(1, 2"}, 24, {}}, RealCase{{"((1, 2)"}, 59, {}}, RealCase{{") 1"}, 59, {}}));

TEST(Statements, NextStatementStartsOnTheNextRecord) {
    MemoryRecords records({"2 extra", "1 2 3 4 5 6", "7 8 9"});
    ValueScanner scanner;
    std::int32_t n = 0;
    ASSERT_EQ(scanner.begin_statement(records), 0);
    ASSERT_EQ(scanner.read_item(n), 0);
    scanner.end_statement();
    EXPECT_EQ(n, 2);
    std::array<float, 3> xyz{};
    for (const float expected : {1.0f, 7.0f}) {
        ASSERT_EQ(scanner.begin_statement(records), 0);
        for (float& item : xyz) ASSERT_EQ(scanner.read_item(item), 0);
        scanner.end_statement();
        EXPECT_EQ(xyz[0], expected);
    }
    EXPECT_EQ(scanner.begin_statement(records), 24);
}

TEST(Statements, NothingCarriesOverToTheNextStatement) {
    // The trailing "," and the pending repeat die with the first statement, so
    // the second starts afresh: its leading comma is a null.
    MemoryRecords records({"1 2 3,", ",4 5 6", "5*7", "8 9 10"});
    ValueScanner scanner;
    std::array<float, 3> xyz{};
    const std::array<std::array<float, 3>, 4> expected{{{1, 2, 3}, {1, 4, 5}, {7, 7, 7}, {8, 9, 10}}};
    for (const auto& values : expected) {
        ASSERT_EQ(scanner.begin_statement(records), 0);
        for (float& item : xyz) ASSERT_EQ(scanner.read_item(item), 0);
        scanner.end_statement();
        EXPECT_EQ(xyz, values);
    }
}

TEST(Statements, ReaderErrorsPassThrough) {
    MemoryRecords records({"1"}, 39);
    ValueScanner scanner;
    std::array<float, 3> xyz{};
    ASSERT_EQ(scanner.begin_statement(records), 0);
    EXPECT_EQ(scanner.read_item(xyz[0]), 0);
    EXPECT_EQ(scanner.read_item(xyz[1]), 39);
    // The statement is over: nothing more is read or stored.
    EXPECT_EQ(scanner.read_item(xyz[2]), 39);
    scanner.end_statement();
}

}  // namespace
}  // namespace io
