// Exact decimal digits of a single-precision value at a fixed number of
// digits after the point.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <type_traits>

#include "io/register_width.h"

namespace io::digits {

// At most this many significant digits are kept; later positions read "0".
inline constexpr std::uint32_t kMaxSignificant = 37;

inline constexpr char kDigitPairs[] =
    "0001020304050607080910111213141516171819"
    "2021222324252627282930313233343536373839"
    "4041424344454647484950515253545556575859"
    "6061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// 10^0 up to every power of ten a word of the type holds: 20 of them in 64
// bits, 10 in 32.
template <std::unsigned_integral Word>
inline constexpr auto kPowersOfTen = [] {
    std::array<Word, std::numeric_limits<Word>::digits10 + 1> p{};
    Word v = 1;
    for (auto& x : p) {
        x = v;
        v *= 10;  // wraps once, after the last
    }
    return p;
}();

// The bits of a single-precision value.
inline constexpr int kFractionBits = 23;
inline constexpr std::uint32_t kFractionMask = (std::uint32_t{1} << kFractionBits) - 1;
inline constexpr std::uint32_t kExponentMask = 0xffu;  // the biased exponent, shifted down
inline constexpr int kSignShift = 31;
inline constexpr int kExponentBias = 127;

// A finite value's magnitude is m * 2^e.
struct Decoded {
    std::uint32_t m;  // 0 for a zero
    int e;
};

// The value is m * 2^e with m an integer: the exponent of its last bit.
inline constexpr int kLastBitExponent = 1 - kExponentBias - kFractionBits;  // -149, as for subnormals

inline Decoded decode(std::uint32_t bits) {
    const std::uint32_t biased = (bits >> kFractionBits) & kExponentMask;
    const std::uint32_t fraction = bits & kFractionMask;
    if (biased == 0) return {fraction, kLastBitExponent};
    return {fraction | (kFractionMask + 1), static_cast<int>(biased) + kLastBitExponent - 1};
}

// How the part of an exact value beyond the last kept digit compares with
// half a unit of that digit.
struct Dropped {
    bool above_half;
    bool exactly_half;
};

template <std::unsigned_integral Word>
constexpr Dropped compare_with_half(Word rest, std::type_identity_t<Word> half) {
    return {rest > half, rest == half};
}

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
    static constexpr int kBitsMax = 60;

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

// Number of decimal digits of `value`; none for 0. A 32-bit value is
// measured in 32 bits: on a 32-bit target that is half the work.
template <std::unsigned_integral Word>
inline std::uint32_t decimal_length(Word value) {
    // bit_width * log10(2), log10(2) as 1233 / 2^12, then one comparison settles it.
    constexpr unsigned log10_2_scaled = 1233, log10_2_scale_bits = 12;
    const auto t = static_cast<std::uint32_t>((std::bit_width(value | 1) * log10_2_scaled) >> log10_2_scale_bits);
    return t + 1 - (value < kPowersOfTen<Word>[t]);
}

// Writes exactly `count` decimal digits of `value` (leading zeros included)
// so that they end just before `end`, two at a time; returns where they
// begin. The digit writer of every field but the one-decimal shortcut; a
// 32-bit value (an integer field, a handle) divides in 32 bits.
template <std::unsigned_integral Word>
inline char* put_digits(Word value, std::size_t count, char* end) {
    char* p = end;
    char* const begin = end - count;
    for (; p - begin >= 2; value /= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (p != begin) *--p = static_cast<char>('0' + value % 10);
    return begin;
}

// The digits of `value` without leading zeros; zero gives "0".
template <std::unsigned_integral Word>
inline char* put_decimal(Word value, char* end) {
    return put_digits(value, std::max<std::size_t>(decimal_length(value), 1), end);
}

// The two digits of value < 100 as the bytes of a 16-bit word in memory order.
inline std::uint32_t two_digits(std::uint32_t value) {
    std::uint16_t pair;
    std::memcpy(&pair, kDigitPairs + 2 * value, 2);
    return pair;
}

// The four digits of value < 10^4 as the bytes of a 32-bit word in memory
// order (little-endian), from two pairs of the table: in 32 bits a table
// read is cheaper than lanes of 64-bit multiplies.
inline std::uint32_t four_digits(std::uint32_t value) {
    const std::uint32_t hundreds = (value * 5243) >> 19;  // value / 100, exact below 43699
    return two_digits(hundreds) | two_digits(value - hundreds * 100) << 16;
}

// The eight decimal digits of value < 10^8, leading zeros included, as
// the bytes of a 64-bit word in memory order (most significant digit first):
// the one-decimal shortcut stores them whole, where a loop over a digit
// count that is as good as random would cost it twice the time.
inline std::uint64_t eight_digits(std::uint32_t value) {
    if constexpr (!kWideRegisters && std::endian::native == std::endian::little) {
        // Two words of four: a 64-bit multiply would be three 32-bit ones.
        return four_digits(value / 10000) | std::uint64_t{four_digits(value % 10000)} << 32;
    }
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

// m * 2^-q (1 <= q <= 60) rounded half to even to one digit after the
// point: its whole part (below 2^23) and the tenths digit.
struct Tenths {
    RegisterWord whole;
    unsigned digit;
};

inline Tenths round_tenths(std::uint32_t m, int q) {
    if constexpr (kWideRegisters) {
        NarrowFraction fraction(m, q);
        RegisterWord whole = std::uint64_t{m} >> q;
        unsigned digit = fraction.next_digit();
        digit += rounds_up(fraction.versus_half(), (digit & 1) != 0);
        const bool carry = digit == 10;
        digit = carry ? 0 : digit;
        whole += carry;
        return {whole, digit};
    } else {
        // More than 28 bits below the point leave less than 2^24 * 2^-29 =
        // 1/32, whose tenths round to 0 as a zero's do; at most 28, ten
        // times the fraction fits 32 bits. No branch: either is likely.
        constexpr int fraction_bits_max = 28;
        const bool below_tenths = q > fraction_bits_max;
        const std::uint32_t kept = below_tenths ? 0 : m;
        const int s = below_tenths ? fraction_bits_max : q;
        const std::uint32_t mask = (std::uint32_t{1} << s) - 1;
        const RegisterWord whole = kept >> s;
        const std::uint32_t tenfold = (kept & mask) * 10;
        unsigned digit = tenfold >> s;
        // Half to even in one comparison: an odd digit also goes up at
        // exactly half. The rest is below 2^28, so adding 1 cannot wrap.
        const std::uint32_t rest = (tenfold & mask) + (digit & 1);
        digit += rest > std::uint32_t{1} << (s - 1);
        const bool carry = digit == 10;
        return {whole + carry, carry ? 0 : digit};
    }
}

// The magnitude rounded half to even on its exact binary value.
struct FixedDigits {
    char integer[41];                  // digits before the point, most significant first
    std::uint32_t integer_length = 0;  // 0 when the rounded value is below 1
    bool is_zero = true;               // every digit, before and after the point, is 0
};

// Any number of digits: `bits` is finite (its sign is ignored). Writes the
// frac.size() digits after the point into `frac` as '0'..'9' and returns the
// digits before it, keeping at most kMaxSignificant significant digits.
FixedDigits round_fixed(std::uint32_t bits, std::span<char> frac);

}  // namespace io::digits
