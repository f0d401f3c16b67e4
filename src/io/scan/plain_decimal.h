// The common number text, read and converted in one pass: an optional sign and
// digits with at most one point. Inline, as it is the scanner's hot path.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "io/scan/powers_of_ten.h"

namespace io {

struct PlainDecimal {
    std::uint64_t digits = 0;  // all digits as one integer (wraps beyond 19)
    int count = 0;             // digits read
    int fraction = 0;          // digits after the point
    bool negative = false;
    bool point = false;
    // With at most 15 digits the integer is exact in double arithmetic.
    bool exact() const { return count > 0 && count <= 15; }
};

// Leading digit bytes of the eight bytes in `word` (first byte lowest): a byte
// is a digit when its high nibble is 3 and adding 6 keeps it so. Carries only
// run from a non-digit byte into later ones, which are not counted.
inline int leading_digits(std::uint64_t word) {
    constexpr std::uint64_t high = 0xF0F0F0F0F0F0F0F0u, threes = 0x3030303030303030u;
    const std::uint64_t misses = ((word & high) ^ threes) | (((word + 0x0606060606060606u) & high) ^ threes);
    return misses == 0 ? 8 : std::countr_zero(misses) / 8;
}

// The value of the first `n` (1 to 8) digit bytes of `word`.
inline std::uint64_t digits_value(std::uint64_t word, int n) {
    std::uint64_t v = (word - 0x3030303030303030u) << (8 * (8 - n));  // leading zero digits
    v = v * 10 + (v >> 8);
    return ((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
            ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >> 32;
}

// Adds a run of digits at p to `digits`; eight bytes at a time where the text
// has them, so the run's length costs no branch per byte.
inline const char* read_digit_run(const char* p, const char* end, std::uint64_t& digits) {
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const int n = leading_digits(word);
        if (n == 0) return p;
        static constexpr std::uint64_t scale[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
        digits = digits * scale[n] + digits_value(word, n);
        p += n;
        if (n < 8) return p;
    }
    for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
        digits = digits * 10 + static_cast<unsigned char>(*p - '0');
    }
    return p;
}

// Reads a plain decimal from the start of the text; returns the bytes taken.
inline std::size_t readPlainDecimal(std::string_view text, PlainDecimal& plain) {
    // Locals, not the struct: stores through it would alias the text's bytes.
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    // Signs come and go at random in a point list: no branch on them.
    const bool sign = p < end && (*p == '+' || *p == '-');
    const bool negative = sign && *p == '-';
    p += sign;
    std::uint64_t digits = 0;
    const char* const first = p;
    p = read_digit_run(p, end, digits);
    int count = static_cast<int>(p - first);
    int fraction = 0;
    const bool point = p < end && *p == '.';
    if (point) {
        const char* const after = ++p;
        p = read_digit_run(p, end, digits);
        fraction = static_cast<int>(p - after);
        count += fraction;
    }
    plain = PlainDecimal{digits, count, fraction, negative, point};
    return static_cast<std::size_t>(p - begin);
}

// What the general conversion to single precision gives for an exact plain
// decimal: the exact integer times a correctly rounded power of ten, well
// inside the normal range, rounded once to single.
inline float plainDecimalToReal32(const PlainDecimal& plain) {
    // Below 10^15 the digits convert as a signed integer, in one instruction;
    // zero needs no case of its own, and the sign is set without a branch.
    const auto digits = static_cast<double>(static_cast<std::int64_t>(plain.digits));
    const auto single = static_cast<float>(digits * table_power_of_ten(-plain.fraction));
    const std::uint32_t sign = static_cast<std::uint32_t>(plain.negative) << 31;
    return std::bit_cast<float>(std::bit_cast<std::uint32_t>(single) | sign);
}

}  // namespace io
