// Exact decimal digits of a single-precision value at a fixed number of
// digits after the point.
#pragma once

#include <array>
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
    // Sign of (what is left) - 1/2.
    int compare_half() const { return more_than_half() ? 1 : (exactly_half() ? 0 : -1); }
    bool more_than_half() const { return f_ > (std::uint64_t{1} << (q_ - 1)); }
    bool exactly_half() const { return f_ == (std::uint64_t{1} << (q_ - 1)); }

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

// Writes the decimal digits of `value` so that they end just before `end`;
// returns where they begin. Zero gives "0".
inline char* put_decimal(std::uint64_t value, char* end) {
    char* p = end;
    while (value >= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        *--p = digit_pairs[pair + 1];
        *--p = digit_pairs[pair];
    }
    if (value >= 10) {
        const auto pair = static_cast<std::size_t>(value) * 2;
        *--p = digit_pairs[pair + 1];
        *--p = digit_pairs[pair];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    return p;
}

// The eight decimal digits of value < 10^8, leading zeros included, as
// the bytes of a 64-bit word in memory order (most significant digit first).
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

// The magnitude rounded to `digits` after the point: whole + frac / 10^digits.
struct ShortFixed {
    std::uint64_t whole = 0;
    std::uint64_t frac = 0;
};

// Beyond this many digits after the point the shortcut for values below
// 2^-36 no longer holds; round_fixed takes over.
inline constexpr std::uint32_t max_short_digits = 10;

// The common case in 64-bit arithmetic: returns false (and the caller uses
// round_fixed) when digits > max_short_digits or the integer part needs more
// than 64 bits. `bits` is finite. Exact: half to even on the exact value.
inline bool round_short(std::uint32_t bits, std::uint32_t digits, ShortFixed& r) {
    if (digits > max_short_digits) return false;
    const auto [m, e] = decode(bits);
    if (e >= 0) {
        if (e > 40) return false;
        r = {std::uint64_t{m} << e, 0};
        return true;
    }
    const int q = -e;
    if (q > 60 || m == 0) {
        // Below 2^-37: even times 10^10 it stays under one half.
        r = {};
        return true;
    }
    NarrowFraction f(m, q);
    std::uint64_t whole = q < 32 ? m >> q : 0;
    std::uint64_t frac = 0;
    for (std::uint32_t i = 0; i < digits; ++i) frac = frac * 10 + f.next_digit();
    // Up when more than half is left, or exactly half and the last digit is odd.
    const std::uint64_t last = digits != 0 ? frac : whole;
    const bool more = f.more_than_half();
    const bool tie_to_odd = f.exactly_half() & ((last & 1) != 0);
    const bool up = more | tie_to_odd;
    if (digits == 0) {
        whole += up;
    } else {
        frac += up;
        const bool carry = frac == powers_of_ten[digits];
        frac = carry ? 0 : frac;
        whole += carry;
    }
    r = {whole, frac};
    return true;
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
