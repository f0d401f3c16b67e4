// Runs of decimal digits read eight bytes at a time. Inline: the scanner's
// hot path reads every coordinate through them.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace io {

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

// Adds the run of digits at p to `digits` (which wraps beyond 19 digits) and
// returns its end; eight bytes at a time where the text has them, so the
// run's length costs no branch per byte.
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

}  // namespace io
