#include "io/scan/decimal_conversion.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <bit>
#include <random>
#include <ostream>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/scan/decimal_texts.h"
#include "io/scan/real64_reference.h"

namespace io {
namespace {

// The program scans with the vector unit flushing denormal results to zero
// (and treating denormal inputs as zero); subnormal results must survive it.
class FlushToZero {
public:
    FlushToZero() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040u); }
    ~FlushToZero() { _mm_setcsr(saved_); }
    FlushToZero(const FlushToZero&) = delete;
    FlushToZero& operator=(const FlushToZero&) = delete;

private:
    unsigned saved_;
};

// The conversions take what the recogniser found in a whole text; a text the
// scanner's rules refuse never reaches them.
constexpr int refused = -1;

template <class Value>
int convert(std::string_view text, Value& value, int (*conversion)(const NumberText&, Value&)) {
    NumberText number;
    const NumberScan scan = recognise_number(text, 0, number);
    if (scan.ending != NumberEnd::text_end || scan.end != text.size()) return refused;
    return conversion(number, value);
}

int real32(std::string_view text, float& value) { return convert(text, value, decimal_to_real32); }
int int32(std::string_view text, std::int32_t& value) { return convert(text, value, decimal_to_int32); }

struct RealCase {
    std::string text;
    int status;
    std::uint32_t bits;  // checked when status is 0
};

void PrintTo(const RealCase& c, std::ostream* out) { *out << c.text.substr(0, 40); }

class Real32Test : public testing::TestWithParam<RealCase> {};

TEST_P(Real32Test, ConvertsUnderFlushToZero) {
    const RealCase& c = GetParam();
    FlushToZero ftz;
    float value = 0.0f;
    ASSERT_EQ(real32(c.text, value), c.status) << c.text;
    if (c.status == 0) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(value), c.bits) << c.text;
    }
}

const std::string fifty_zeros(50, '0');

INSTANTIATE_TEST_SUITE_P(
    Cases, Real32Test,
    testing::Values(
        // Exponent forms: letters E D Q, a bare sign, a letter alone.
        RealCase{"1.5+3", 0, 0x44BB8000}, RealCase{"2-1", 0, 0x3E4CCCCD}, RealCase{"2D1", 0, 0x41A00000},
        RealCase{"-.5q-1", 0, 0xBD4CCCCD}, RealCase{"1.5E", 0, 0x3FC00000}, RealCase{"1e", 0, 0x3F800000},
        RealCase{"1e0000000000000000000001", 0, 0x41200000},
        // Leftovers and unknown words.
        RealCase{"1+2+3", 3, 0}, RealCase{"1E5.5", 3, 0}, RealCase{"INFX", 3, 0}, RealCase{"INFINITYX", 3, 0},
        RealCase{"INFINITE", 3, 0}, RealCase{"NANA", 3, 0}, RealCase{"NaN(a b)", 3, 0},
        // Word forms and the NaN bit patterns chosen by the sign.
        RealCase{"inf", 0, 0x7F800000}, RealCase{"-Infinity", 0, 0xFF800000}, RealCase{"+nan", 0, 0x7FC00000},
        RealCase{"NaN", 0, 0xFFC00000}, RealCase{"-nan", 0, 0xFFC00000}, RealCase{"NaN(1_a)", 0, 0xFFC00000},
        RealCase{"nan()", 0, 0xFFC00000},
        // Signed zeros.
        RealCase{"-0", 0, 0x80000000}, RealCase{"-0.000E5", 0, 0x80000000}, RealCase{"+0", 0, 0x00000000},
        RealCase{"-1e-50", 0, 0x80000000},
        // The top of the range.
        RealCase{"3.4028235e38", 0, 0x7F7FFFFF}, RealCase{"-3.4028235e38", 0, 0xFF7FFFFF},
        RealCase{"3.4028236e38", 8, 0}, RealCase{"1e39", 8, 0}, RealCase{"99e37", 8, 0},
        RealCase{"1" + fifty_zeros + "E-5", 8, 0},
        // The bottom: smallest normal, subnormals, halfway to the smallest subnormal.
        RealCase{"1.17549435e-38", 0, 0x00800000}, RealCase{"1.1754942e-38", 0, 0x007FFFFF},
        RealCase{"1.4e-45", 0, 0x00000001}, RealCase{"-1.4e-45", 0, 0x80000001},
        RealCase{"7.1e-46", 0, 0x00000001}, RealCase{"7e-46", 0, 0x00000000}, RealCase{"2.11e-45", 0, 0x00000002},
        RealCase{"2.1e-45", 0, 0x00000001}, RealCase{".1e-44", 0, 0x00000001}, RealCase{"1e-50", 0, 0},
        RealCase{"." + fifty_zeros + "1", 0, 0},
        // Far below the table of powers: the split product.
        RealCase{"123456789e-50", 0, 0x00000371}, RealCase{"-1e-46", 0, 0x80000000},
        // Exponents with more than six significant digits.
        RealCase{"1e1234567", 8, 0}, RealCase{"1e-1234567", 0, 0}, RealCase{"-1e-1234567", 0, 0x80000000},
        RealCase{"1e000038", 0, 0x7E967699},
        // Plain decimals read eight digits at a time, and just past the exact limit.
        RealCase{"12345678.5", 0, 0x4B3C614E}, RealCase{"12345678", 0, 0x4B3C614E},
        RealCase{"0.00000000000001", 0, 0x283424DC}, RealCase{"-9999999.999", 0, 0xCB189680},
        RealCase{"123456789012345", 0, 0x56E0910C}, RealCase{"1234567890123456", 0, 0x588C5AA8},
        RealCase{"87654321.87654321", 0, 0x4CA72FF6},
        // Digits past the 27th only move the point; D is combined in double
        // arithmetic, so these land on the midpoint and round to even, not up.
        RealCase{"1000000000000000000000000000000", 0, 0x7149F2CA},
        RealCase{"16777217.000000000000000000001", 0, 0x4B800000},
        RealCase{"1.00000005960464477539062500001", 0, 0x3F800000}));

// The double conversion must match the text round trip it replaced, status
// for status and bit for bit, and do so while denormal results are flushed.
void expect_as_reference(std::string_view text) {
    NumberText number;
    const NumberScan scan = recognise_number(text, 0, number);
    ASSERT_TRUE(scan.ending == NumberEnd::text_end && scan.end == text.size()) << text;
    double expected = 0.0, value = 0.0, plain = 0.0;
    const int expected_status = reference::decimal_to_real64(number, expected);
    FlushToZero ftz;
    ASSERT_EQ(decimal_to_real64(number, value), expected_status) << text;
    if (expected_status != conversion_ok) return;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << text;
    if (plain_decimal_to_real64(number, plain)) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(plain), std::bit_cast<std::uint64_t>(expected)) << text;
    }
}

TEST(Real64, MatchesTheTextRoundTripAtTheEdges) {
    const std::string texts[] = {
        // Ties to even: 2^53 + 1 and + 3, 2^54 + 2 and + 6, 2^52 + 0.5 and + 1.5,
        // 2^51 + 0.25; then just either side of a tie with 27 digits.
        "9007199254740993", "9007199254740995", "18014398509481986", "18014398509481990",
        "4503599627370496.5", "4503599627370497.5", "2251799813685248.25", "9007199254740993e0",
        "900719925474099.3e1", "1.00000000000000011102230246", "1.00000000000000011102230247",
        "9007199254740993.00000000001", "9007199254740992.99999999999",
        // The exact operation's limits: 2^53 and 10^22 either side.
        "9007199254740991", "9007199254740992", "-9007199254740991.5", "4500010.5234567891",
        "1e22", "1e23", "1e-22", "1e-23", "123456789e22", "123456789e23", "9007199254740991e22",
        "9007199254740991e-22", "9007199254740991e-23", "0.0000000000000000000001", "0.00000000000000000000001",
        "1922799321812943e8", "1690051908924166e22",  // a 32-bit x87 product rounds these twice
        // 17 digits, one unit in the last place apart.
        "0.3", "0.30000000000000004", "0.29999999999999999", "0.30000000000000001", "1.0000000000000002",
        "4500010.5234567890", "4500010.5234567891", "-12.5", "4500010.523",
        // 19, 20, 27 and 28 digits, and nines that round up to a power of ten.
        "1234567890123456789", "12345678901234567890", "123456789012345678901234567",
        "1234567890123456789012345678", "9999999999999999999", "99999999999999999999999999999",
        "0.9999999999999999999999999999", "1.23456789012345678901234567e300", "1.23456789012345678901234567e-300",
        // The subnormal range: the least normal, the largest subnormal, the
        // least subnormal, and half of it either side; far below it.
        "2.2250738585072014e-308", "2.2250738585072011e-308", "2.225073858507201e-308", "4.9406564584124654e-324",
        "2.4703282292062328e-324", "2.4703282292062327e-324", "-2.4703282292062327e-324", "1e-323", "1e-324",
        "9999999999999999999e-343", "9999999999999999999e-342", "1e-400", "-1e-401", "1" + std::string(40, '0') + "e-440",
        // The largest double and just above, to the first overflow.
        "1.7976931348623157e308", "1.7976931348623158e308", "1.797693134862315807e308", "1.797693134862315808e308",
        "1.79769313486231580793728971e308", "1.79769313486231580793728972e308", "1e308", "1e309", "0.1e310", "1e310",
        // Zeros and signs, exponents out of range, words and leftovers.
        "5E9", "2e308", "1e400", "-0", "-0.0e5", "0e1234567", "-1e-1234567", "1e1234567", "inf", "-nan", "1E5.5", "1+2+3", "1.5+3", "-.5q-1"};
    for (const std::string& text : texts) expect_as_reference(text);
}

TEST(Real64, MatchesTheTextRoundTripOnRandomTexts) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 100000 && !HasFailure(); ++i) expect_as_reference(decimal_texts::random_text(random));
}

struct IntegerCase {
    std::string text;
    int status;
    std::int32_t value;
};

TEST(Int32, AcceptsOnlySignAndDigits) {
    const IntegerCase cases[] = {
        {"2147483647", 0, 2147483647},  {"-2147483648", 0, INT32_MIN}, {"+003", 0, 3},
        {"-0", 0, 0},                   {"0000000000000000000000000000042", 0, 42},
        {"2147483648", 8, 0},           {"-2147483649", 8, 0},         {"99999999999999999999999", 8, 0},
        {"12-3", 3, 0},                 {"1+5", 3, 0},                 {"2.5", 3, 0},
        {"INF", 3, 0},                  {"-", refused, 0},             {"", refused, 0},
    };
    for (const IntegerCase& c : cases) {
        std::int32_t value = 7;
        EXPECT_EQ(int32(c.text, value), c.status) << c.text;
        EXPECT_EQ(value, c.status == 0 ? c.value : 7) << c.text;
    }
}

}  // namespace
}  // namespace io
