#include "io/format/fixed_decimals.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace {

std::string fixed(double value, std::uint32_t decimals, char separator = '.') {
    std::array<char, io::kFixedDecimalsRoom> out;
    return {out.data(), io::format_fixed_decimals(value, decimals, separator, out)};
}

// The exact decimal expansion of a finite double, worked out digit by digit
// on a decimal string, a way of its own: m * 2^e as m * 5^-e / 10^-e.
std::string exact_digits(double value, int& point) {
    int e = 0;
    const double m_real = std::frexp(std::fabs(value), &e);
    auto m = static_cast<std::uint64_t>(std::ldexp(m_real, 53));
    e -= 53;
    std::string digits = std::to_string(m);  // most significant first
    const auto times = [&digits](int factor) {
        int carry = 0;
        for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
            const int d = (*it - '0') * factor + carry;
            *it = static_cast<char>('0' + d % 10);
            carry = d / 10;
        }
        while (carry != 0) {
            digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
            carry /= 10;
        }
    };
    point = 0;  // digits after the point
    for (; e > 0; --e) times(2);
    for (; e < 0; ++e, ++point) times(5);
    return digits;
}

// Rounds the exact expansion half to even at `decimals` digits.
std::string reference(double value, std::uint32_t decimals) {
    int point = 0;
    std::string digits = exact_digits(value, point);
    if (point < static_cast<int>(decimals)) {
        digits.append(decimals - static_cast<std::size_t>(point), '0');
        point = static_cast<int>(decimals);
    }
    while (static_cast<int>(digits.size()) <= point) digits.insert(digits.begin(), '0');
    const std::size_t keep = digits.size() - static_cast<std::size_t>(point) + decimals;
    std::string kept = digits.substr(0, keep);
    const std::string dropped = digits.substr(keep);
    const bool above = !dropped.empty() && (dropped[0] > '5' || (dropped[0] == '5' && dropped.find_first_not_of('0', 1) != std::string::npos));
    const bool half = !dropped.empty() && dropped[0] == '5' && dropped.find_first_not_of('0', 1) == std::string::npos;
    if (above || (half && (kept.back() - '0') % 2 == 1)) {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
        if (i == 0) kept.insert(kept.begin(), '1');
        else ++kept[i - 1];
    }
    const std::size_t integer_digits = kept.size() - decimals;
    std::string whole = kept.substr(0, integer_digits);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    std::string text = whole;
    if (decimals > 0) text += "." + kept.substr(integer_digits);
    if (std::signbit(value) && text.find_first_not_of("0.") != std::string::npos) text.insert(text.begin(), '-');
    return text;
}

TEST(FixedDecimals, Cases) {
    struct Case {
        double value;
        std::uint32_t decimals;
        const char* text;
    };
    const Case cases[] = {
        {0.0, 3, "0.000"},
        {-0.0, 3, "0.000"},
        {-0.0004, 3, "0.000"},       // rounds to zero: no sign
        {-0.0006, 3, "-0.001"},
        {0.5, 0, "0"},                // half to even
        {1.5, 0, "2"},
        {2.5, 0, "2"},
        {0.125, 2, "0.12"},           // exactly half, 2 is even
        {0.375, 2, "0.38"},
        {0.35, 1, "0.3"},             // the double lies below 0.35
        {1.005, 2, "1.00"},           // below 1.005 too
        {9.9996, 3, "10.000"},        // the carry runs into a new digit
        {4500000.1235, 3, "4500000.123"},  // the double lies below the half
        {-4500000.1245, 3, "-4500000.124"},
        {123456789.987654321, 9, "123456789.987654328"},
        {1e22, 2, "10000000000000000000000.00"},
        {DBL_MIN, 9, "0.000000000"},
        {5e-324, 0, "0"},
        {12.0, 0, "12"},
        // Integer parts at each side of a power of ten: the digits are counted before they are written.
        {9.0, 1, "9.0"},
        {10.0, 1, "10.0"},
        {99999.9999, 3, "100000.000"},
        {9999999999.5, 0, "10000000000"},
        {1e15, 4, "1000000000000000.0000"},
        {-0.05, 1, "-0.1"},
        {INFINITY, 3, "Infinity"},
        {-INFINITY, 3, "-Infinity"},
        {NAN, 3, "NaN"},
    };
    for (const Case& c : cases) EXPECT_EQ(fixed(c.value, c.decimals), c.text) << c.value << " at " << c.decimals;
    EXPECT_EQ(fixed(-12.5, 1, ','), "-12,5");
    EXPECT_EQ(fixed(DBL_MAX, 9), reference(DBL_MAX, 9));
    EXPECT_EQ(fixed(-DBL_MAX, 0).size(), 310u);
}

// Values of every magnitude, and ties made on purpose, against the decimal
// reference.
TEST(FixedDecimals, AgreesWithTheExactExpansion) {
    std::mt19937_64 random(20261207);
    for (int k = 0; k < 1500; ++k) {
        double value = 0.0;
        switch (k % 4) {
            case 0: value = std::bit_cast<double>((random() & ~(std::uint64_t{0x7ff} << 52)) |
                                                  (std::uint64_t{900 + random() % 250} << 52)); break;
            case 1: value = std::ldexp(static_cast<double>(random() % 2000001) - 1000000.0, -static_cast<int>(random() % 12)); break;
            case 2: value = (static_cast<double>(random() % 100000000) - 5e7) / 1000.0 + 4.5e6; break;
            default: value = std::bit_cast<double>(random()); break;
        }
        if (!std::isfinite(value)) continue;
        const auto decimals = static_cast<std::uint32_t>(random() % 10);
        ASSERT_EQ(fixed(value, decimals), reference(value, decimals)) << std::hexfloat << value << " at " << decimals;
    }
}

}  // namespace
