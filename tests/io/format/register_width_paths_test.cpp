// The digit helpers that take 32-bit arithmetic on a 32-bit target, at the
// edges where that arithmetic could go wrong. The same cases run on both
// targets, so each path is held to the other's answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "io/format/float_digits.h"

namespace {

namespace digits = io::digits;

std::string eight(std::uint32_t value) {
    const std::uint64_t word = digits::eight_digits(value);
    char text[8];
    std::memcpy(text, &word, 8);
    return {text, 8};
}

TEST(RegisterWidthPaths, EightDigitsAtTheLaneEdges) {
    const struct { std::uint32_t value; const char* text; } cases[] = {
        {0, "00000000"},        {9, "00000009"},        {99, "00000099"},       {100, "00000100"},
        {9999, "00009999"},     {10000, "00010000"},    {43698, "00043698"},    {8388607, "08388607"},
        {12345678, "12345678"}, {99999999, "99999999"}, {10000001, "10000001"}, {90909090, "90909090"},
    };
    for (const auto& c : cases) EXPECT_EQ(eight(c.value), c.text) << c.value;
}

TEST(RegisterWidthPaths, DecimalLengthAtEveryPowerOfTen) {
    std::uint32_t power = 1;
    for (std::uint32_t n = 1; n <= 10; ++n, power *= 10) {
        EXPECT_EQ(digits::decimal_length(power), n);
        EXPECT_EQ(digits::decimal_length(power - 1), n - 1);
        EXPECT_EQ(digits::decimal_length(std::uint64_t{power}), n);
    }
    EXPECT_EQ(digits::decimal_length(std::uint32_t{0xFFFFFFFF}), 10u);
}

// m * 2^-q: whole part and tenths, rounded half to even, against the
// exact value worked out in 64 bits (q <= 40 here, so m * 10 fits).
TEST(RegisterWidthPaths, TenthsAroundTheFractionWidthLimit) {
    const std::uint32_t significands[] = {1, 3, 0x800000, 0x800001, 0xCCCCCC, 0xCCCCCD, 0xFFFFFF, 0x9FFFFF, 0xA00000};
    for (int q = 1; q <= 40; ++q) {
        for (const std::uint32_t m : significands) {
            const std::uint64_t tenfold = std::uint64_t{m} * 10;
            std::uint64_t tenths = tenfold >> q;
            const std::uint64_t rest = tenfold & ((std::uint64_t{1} << q) - 1), half = std::uint64_t{1} << (q - 1);
            tenths += rest > half || (rest == half && (tenths & 1) != 0);
            const digits::Tenths t = digits::round_tenths(m, q);
            EXPECT_EQ(std::uint64_t{t.whole} * 10 + t.digit, tenths) << "m " << m << " q " << q;
            EXPECT_LT(t.digit, 10u);
        }
    }
}

}  // namespace
