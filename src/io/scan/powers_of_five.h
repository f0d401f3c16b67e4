// 5^q for q = -342 ... 308 as 128-bit words, built at compile time: the
// first 128 bits of each power, cut off (never rounded up), so that a product
// with one of them is never above the true product. Beyond these powers every
// decimal of at most 19 digits is zero or infinite as a double.
#pragma once

#include <array>
#include <cstdint>

#include "io/scan/big_integer.h"
#include "io/scan/wide_product.h"

namespace io {

inline constexpr int kLeastPowerOfFive = -342;
inline constexpr int kGreatestPowerOfFive = 308;

// floor(q * log2(10)) for the powers of the table: log2(10) in 16 fraction
// bits, exact enough there (checked against the table's bit lengths below).
constexpr int floor_log2_power_of_ten(int q) { return (q * 217706) >> 16; }

namespace detail {

struct PowersOfFive {
    std::array<WideWord, kGreatestPowerOfFive - kLeastPowerOfFive + 1> words{};
    bool exponents_agree = true;
};

// The word W of 5^q lies in [2^127, 2^128), W <= 5^q * 2^(127 - floor(q log2 5)) < W + 1.
constexpr PowersOfFive make_powers_of_five() {
    PowersOfFive table;
    const auto store = [&table](int q, const BigInteger& value, int floor_log2_five) {
        const int low = value.bit_length() - 128;  // below 0 when 5^q is short: exact, shifted up
        table.words[static_cast<std::size_t>(q - kLeastPowerOfFive)] = {value.bits_from(low + 64), value.bits_from(low)};
        if (floor_log2_power_of_ten(q) != floor_log2_five + q) table.exponents_agree = false;
    };
    // Non-negative powers exactly, their leading bits kept.
    BigInteger power(1);
    for (int q = 0; q <= kGreatestPowerOfFive; ++q, power.multiply(5)) store(q, power, power.bit_length() - 1);
    // Negative ones as floor(2^960 / 5^k), divided by five once a step:
    // floor(floor(x / 5) / 5) = floor(x / 25), so the quotient stays exact, and
    // its leading bits are those of 5^-k. 2^960 / 5^342 still has 166 bits.
    BigInteger reciprocal(1);
    reciprocal.shift_left(960);
    BigInteger five_to_k(1);
    for (int k = 1; k <= -kLeastPowerOfFive; ++k) {
        reciprocal.divide(5);
        five_to_k.multiply(5);
        store(-k, reciprocal, -five_to_k.bit_length());  // floor(-k log2 5), as 5^k is no power of two
    }
    return table;
}

inline constexpr PowersOfFive kPowersOfFive = make_powers_of_five();
static_assert(kPowersOfFive.exponents_agree, "floor_log2_power_of_ten must be exact over the table");

}  // namespace detail

constexpr const WideWord& power_of_five(int q) {
    return detail::kPowersOfFive.words[static_cast<std::size_t>(q - kLeastPowerOfFive)];
}

}  // namespace io
