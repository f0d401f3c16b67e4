// Runs of decimal digits read eight bytes at a time. Inline: the scanner's
// hot path reads every coordinate through them.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "io/register_width.h"

namespace io {

inline constexpr std::uint64_t kDigitHigh = 0xF0F0F0F0F0F0F0F0u;  // each byte's high nibble
inline constexpr std::uint64_t kDigitZeros = 0x3030303030303030u;  // eight '0' bytes
inline constexpr std::uint64_t kDigitTopUp = 0x0606060606060606u;  // '9' + 6 keeps the high nibble 3

// The bytes of `word` that are not digits, each as a set bit among its own.
inline std::uint64_t digit_misses(std::uint64_t word) {
    return ((word & kDigitHigh) ^ kDigitZeros) | (((word + kDigitTopUp) & kDigitHigh) ^ kDigitZeros);
}
inline std::uint32_t digit_misses(std::uint32_t word) {
    const auto high = static_cast<std::uint32_t>(kDigitHigh), zeros = static_cast<std::uint32_t>(kDigitZeros);
    return ((word & high) ^ zeros) | (((word + static_cast<std::uint32_t>(kDigitTopUp)) & high) ^ zeros);
}

// Leading digit bytes of the eight bytes in `word` (first byte lowest): a byte
// is a digit when its high nibble is 3 and adding 6 keeps it so. Carries only
// run from a non-digit byte into later ones, which are not counted.
inline int leading_digits(std::uint64_t word) {
    if constexpr (!kWideRegisters && std::endian::native == std::endian::little) {
        // In 32-bit halves, whose trailing zeros are counted without the
        // library call a 64-bit count is there; a half of no misses counts 4.
        const int first = std::countr_zero(digit_misses(static_cast<std::uint32_t>(word))) / 8;
        const int second = std::countr_zero(digit_misses(static_cast<std::uint32_t>(word >> 32))) / 8;
        return first + (first == 4 ? second : 0);
    }
    const std::uint64_t misses = digit_misses(word);
    return misses == 0 ? 8 : std::countr_zero(misses) / 8;
}

// The value of four digits, one a byte (the first lowest), in 32-bit
// lanes: pairs, then the two pairs.
inline std::uint32_t four_digits_value(std::uint32_t v) {
    v = v * 10 + (v >> 8);
    return ((v & 0x00FF00FFu) * (1 + (100u << 16))) >> 16;  // the first pair is worth a hundred
}

// The value of the first `n` (1 to 8) digit bytes of `word`.
inline RegisterWord digits_value(std::uint64_t word, int n) {
    std::uint64_t v = (word - kDigitZeros) << (8 * (8 - n));  // leading zero digits
    if constexpr (!kWideRegisters && std::endian::native == std::endian::little) {
        // Two words of four digits, each in 32-bit arithmetic.
        return four_digits_value(static_cast<std::uint32_t>(v)) * 10000 + four_digits_value(static_cast<std::uint32_t>(v >> 32));
    }
    v = v * 10 + (v >> 8);
    return static_cast<RegisterWord>(((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)) +
                                      ((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))) >> 32);
}

// Adds the run of digits at p to `digits` (which wraps beyond its width:
// 19 digits in 64 bits, 9 in 32) and returns its end; eight bytes at a time
// where the text has them, so the run's length costs no branch per byte.
template <typename Digits>
inline const char* read_digit_run(const char* p, const char* end, Digits& digits) {
    static_assert(std::is_same_v<Digits, std::uint64_t> || std::is_same_v<Digits, std::uint32_t>);
    // Factors of a register's width: on a 32-bit target a 64-by-32
    // multiply is two instructions where 64 by 64 is three and more.
    static constexpr RegisterWord scale[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const int n = leading_digits(word);
        if (n == 0) return p;
        digits = digits * static_cast<Digits>(scale[n]) + static_cast<Digits>(digits_value(word, n));
        p += n;
        if (n < 8) return p;
    }
    if constexpr (!kWideRegisters) {
        // Fewer than eight bytes are left: their digits add up in 32 bits,
        // and join the rest with one multiply.
        const char* const from = p;
        std::uint32_t tail = 0;
        for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p) tail = tail * 10 + static_cast<unsigned char>(*p - '0');
        digits = digits * static_cast<Digits>(scale[p - from]) + tail;
        return p;
    }
    for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p) {
        digits = digits * 10 + static_cast<unsigned char>(*p - '0');
    }
    return p;
}

}  // namespace io
