// Exact decimal digits of a single-precision value at a fixed number of
// digits after the point.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <bit>
#include <cstdint>
#include <span>

namespace io::digits {

// At most this many significant digits are kept; later positions read "0".
inline constexpr std::uint32_t max_significant = 37;

inline constexpr char digit_pairs[] =
    "0001020304050607080910111213141516171819"
    "2021222324252627282930313233343536373839"
    "4041424344454647484950515253545556575859"
    "6061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// 10^0 to 10^19, every power of ten a 64-bit word holds.
inline constexpr auto powers_of_ten = [] {
    std::array<std::uint64_t, 20> p{};
    std::uint64_t v = 1;
    for (auto& x : p) {
        x = v;
        v *= 10;  // wraps once, after the last
    }
    return p;
}();

// A finite value's magnitude is m * 2^e.
struct Decoded {
    std::uint32_t m;  // 0 for a zero
    int e;
};

inline Decoded decode(std::uint32_t bits) {
    const std::uint32_t biased = (bits >> 23) & 0xffu;
    const std::uint32_t fraction = bits & 0x7fffffu;
    if (biased == 0) return {fraction, -149};
    return {fraction | 0x800000u, static_cast<int>(biased) - 150};
}

// How the part of an exact value beyond the last kept digit compares with
// half a unit of that digit.
struct Dropped {
    bool above_half;
    bool exactly_half;
};

constexpr Dropped compare_with_half(std::uint64_t rest, std::uint64_t half) { return {rest > half, rest == half}; }

// Half to even on the exact value, the one rounding rule of real fields: up
// when more than half is dropped, or exactly half and the last kept digit is
// odd. Without a branch: in the hot field the outcome is as good as random.
constexpr bool rounds_up(Dropped dropped, bool last_odd) {
    return dropped.above_half | (dropped.exactly_half & last_odd);
}

// The part of m * 2^-q below the point, for q <= 60 so that ten times it
// still fits in 64 bits. Each step yields the next decimal digit exactly.
class NarrowFraction {
public:
    NarrowFraction(std::uint32_t m, int q) : mask_((std::uint64_t{1} << q) - 1), f_(m & mask_), q_(q) {}
    bool is_zero() const { return f_ == 0; }
    unsigned next_digit() {
        f_ *= 10;
        const auto digit = static_cast<unsigned>(f_ >> q_);
        f_ &= mask_;
        return digit;
    }
    Dropped versus_half() const { return compare_with_half(f_, std::uint64_t{1} << (q_ - 1)); }

private:
    std::uint64_t mask_;
    std::uint64_t f_;
    int q_;
};

// Number of decimal digits of `value`; none for 0.
inline std::uint32_t decimal_length(std::uint64_t value) {
    // bit_width * log10(2), then one comparison settles it.
    const auto t = static_cast<std::uint32_t>((std::bit_width(value | 1) * 1233) >> 12);
    return t + 1 - (value < powers_of_ten[t]);
}

// Writes exactly `count` decimal digits of `value` (leading zeros included)
// so that they end just before `end`, two at a time; returns where they
// begin. The digit writer of every field but the one-decimal shortcut.
inline char* put_digits(std::uint64_t value, std::size_t count, char* end) {
    char* p = end;
    char* const begin = end - count;
    for (; p - begin >= 2; value /= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        *--p = digit_pairs[pair + 1];
        *--p = digit_pairs[pair];
    }
    if (p != begin) *--p = static_cast<char>('0' + value % 10);
    return begin;
}

// The digits of `value` without leading zeros; zero gives "0".
inline char* put_decimal(std::uint64_t value, char* end) {
    return put_digits(value, std::max<std::size_t>(decimal_length(value), 1), end);
}

// The eight decimal digits of value < 10^8, leading zeros included, as
// the bytes of a 64-bit word in memory order (most significant digit first):
// the one-decimal shortcut stores them whole, where a loop over a digit
// count that is as good as random would cost it twice the time.
inline std::uint64_t eight_digits(std::uint32_t value) {
    // Split into lanes of 4, then 2, then 1 digit; each division by a
    // constant is a multiply and shift that is exact in the lane's range.
    std::uint64_t x = value / 10000 | std::uint64_t{value % 10000} << 32;
    const std::uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007f0000007full;
    x = hundreds | (x - hundreds * 100) << 16;
    const std::uint64_t tens = ((x * 103) >> 10) & 0x000f000f000f000full;
    x = tens | (x - tens * 10) << 8;
    x += 0x3030303030303030ull;
    if constexpr (std::endian::native == std::endian::big) {
        x = x << 32 | x >> 32;
        x = (x & 0x0000ffff0000ffffull) << 16 | (x >> 16 & 0x0000ffff0000ffffull);
        x = (x & 0x00ff00ff00ff00ffull) << 8 | (x >> 8 & 0x00ff00ff00ff00ffull);
    }
    return x;
}

// The magnitude rounded half to even on its exact binary value.
struct FixedDigits {
    char integer[41];                  // digits before the point, most significant first
    std::uint32_t integer_length = 0;  // 0 when the rounded value is below 1
    bool is_zero = true;               // every digit, before and after the point, is 0
};

// Any number of digits: `bits` is finite (its sign is ignored). Writes the
// frac.size() digits after the point into `frac` as '0'..'9' and returns the
// digits before it, keeping at most max_significant significant digits.
FixedDigits round_fixed(std::uint32_t bits, std::span<char> frac);

}  // namespace io::digits
