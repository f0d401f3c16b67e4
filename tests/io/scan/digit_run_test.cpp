// Runs of digits read eight bytes at a time, and the exact conversion of the
// digits to double: the 32-bit target reads them as 32-bit halves, so the
// cases sit where the halves meet.
#include "io/scan/digit_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "io/scan/decimal_conversion.h"

namespace {

TEST(DigitRun, EveryRunLengthAndStopByteAcrossTheHalves) {
    const std::string digits = "9876543210123456789";
    for (std::size_t n = 0; n <= digits.size(); ++n) {
        for (const char stop : {' ', '.', '/', ':', 'E'}) {
            const std::string text = digits.substr(0, n) + stop + "12345678";
            std::uint64_t value = 7;  // carried in: the run's digits follow it
            const char* end = io::read_digit_run(text.data(), text.data() + text.size(), value);
            std::uint64_t expected = 7;
            for (std::size_t i = 0; i < n; ++i) expected = expected * 10 + static_cast<unsigned>(digits[i] - '0');
            EXPECT_EQ(static_cast<std::size_t>(end - text.data()), n) << n << stop;
            EXPECT_EQ(value, expected) << n << stop;
        }
        // The run at the very end of the text, fewer than eight bytes after it.
        std::uint64_t value = 0;
        const std::string text = digits.substr(0, n);
        EXPECT_EQ(io::read_digit_run(text.data(), text.data() + n, value), text.data() + n);
        EXPECT_EQ(value, n == 0 ? 0 : std::stoull(text)) << n;
    }
}

TEST(DigitRun, DigitsConvertToDoubleExactlyBelowTwoToThe53) {
    const std::uint64_t cases[] = {0,           1,           0x7FFFFFFF,           0x80000000,
                                   0xFFFFFFFF,  0x100000000, 0x1FFFFFFFFFFFFF,     0x10000000000001,
                                   123456789012345};
    for (const std::uint64_t v : cases) {
        EXPECT_EQ(io::exact_double(v), static_cast<double>(v)) << v;
        EXPECT_EQ(static_cast<std::uint64_t>(io::exact_double(v)), v) << v;
    }
}

}  // namespace
