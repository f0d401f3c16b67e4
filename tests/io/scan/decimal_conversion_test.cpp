#include "io/scan/decimal_conversion.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <bit>
#include <ostream>
#include <cstdint>
#include <string>
#include <string_view>

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
int real64(std::string_view text, double& value) { return convert(text, value, decimal_to_real64); }
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

TEST(Real64, ConvertsForTruncation) {
    double value = 0.0;
    EXPECT_EQ(real64("5E9", value), 0);
    EXPECT_EQ(value, 5e9);
    EXPECT_EQ(real64("-2.5", value), 0);
    EXPECT_EQ(value, -2.5);
    EXPECT_EQ(real64("1.5+3", value), 0);
    EXPECT_EQ(value, 1500.0);
    EXPECT_EQ(real64("1e308", value), 0);
    EXPECT_EQ(value, 1e308);
    EXPECT_EQ(real64("1e-400", value), 0);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(real64("1e400", value), 8);
    EXPECT_EQ(real64("2e308", value), 8);
    EXPECT_EQ(real64("1E5.5", value), 3);
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
