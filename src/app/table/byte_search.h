// Where a field ends: the first delimiter byte, or the first blank, eight
// bytes at a time. Fields are short (a coordinate is a dozen bytes), so a
// library call per field costs more than the search; one word of compares
// finds most ends at once.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace app::table {

namespace detail {

inline constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;
inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// The high bit of each byte of `v` that is zero, and no other bit: exact
// per byte, so bits can be masked afterwards.
constexpr std::uint64_t zero_bytes(std::uint64_t v) { return ~(((v & kLowBits) + kLowBits) | v | kLowBits); }

inline std::uint64_t load_word(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The high bit of each zero byte of `v`, and maybe of bytes above one:
// three operations, where only the lowest bit set need be right.
constexpr std::uint64_t first_zero_byte(std::uint64_t v) { return (v - kOnes) & ~v & (kOnes << 7); }

// Bytes equal to `a` or `b` in the word at p: each one with `exact`,
// else the first one only.
template <bool exact>
inline std::uint64_t matches(const char* p, char a, char b) {
    const auto zeros = [](std::uint64_t v) { return exact ? zero_bytes(v) : first_zero_byte(v); };
    const std::uint64_t v = load_word(p);
    const std::uint64_t hits = zeros(v ^ (kOnes * static_cast<unsigned char>(a)));
    return a == b ? hits : hits | zeros(v ^ (kOnes * static_cast<unsigned char>(b)));
}

}  // namespace detail

// The first byte of [from, end) equal to `a` or `b` (pass one byte twice
// for one), or end. `begin` <= from is where the line starts: a last part
// shorter than a word is read as the line's last word, so it needs no byte loop.
[[gnu::always_inline]] inline const char* find_either(const char* begin, const char* from, const char* end, char a,
                                                     char b) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::ptrdiff_t word = 8;
        for (; end - from >= word; from += word)
            if (const std::uint64_t hit = detail::matches<false>(from, a, b)) return from + std::countr_zero(hit) / 8;
        if (from == end || end - begin < word) {
            while (from != end && *from != a && *from != b) ++from;
            return from;
        }
        // The bytes of the last word before `from` were searched already.
        const char* const last = end - word;
        const std::uint64_t hit = detail::matches<true>(last, a, b) & (~std::uint64_t{0} << (8 * (from - last)));
        return hit ? last + std::countr_zero(hit) / 8 : end;
    } else {
        while (from != end && *from != a && *from != b) ++from;
        return from;
    }
}

}  // namespace app::table
