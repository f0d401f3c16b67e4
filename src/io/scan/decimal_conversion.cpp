#include "io/scan/decimal_conversion.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <limits>
#include <type_traits>

#include "io/scan/nearest_double.h"

// The arithmetic below relies on every double operation being rounded to
// double on its own: no wider evaluation (x87), and no contraction into fused
// multiply-adds (the x86-64 baseline has none, and no option here enables them).
static_assert(FLT_EVAL_METHOD == 0, "double operations must round to double");

namespace io {
namespace {

constexpr int kKeptDigitsMax = NumberText::kKeptDigitsMax;
constexpr int kGroupDigits = 9;

// The kept significant digits (at most 27) as text; returns their count.
int kept_digit_text(const NumberText& number, std::array<char, kKeptDigitsMax>& out) {
    const auto head = static_cast<int>(std::min<std::int64_t>(number.significant, NumberText::kHeadDigitsMax));
    std::uint64_t digits = number.digits;
    for (int i = head - 1; i >= 0; --i, digits /= 10) out[static_cast<std::size_t>(i)] = static_cast<char>('0' + digits % 10);
    std::uint32_t more = number.more_digits;
    for (int i = head + number.more_count - 1; i >= head; --i, more /= 10) {
        out[static_cast<std::size_t>(i)] = static_cast<char>('0' + more % 10);
    }
    return head + number.more_count;
}

// Decimal exponent of the leading digit plus one: the value lies in [10^(M-1), 10^M).
std::int64_t magnitude(const NumberText& number) {
    return std::int64_t{number.significant} + number.exponent - number.fraction;
}

// Power of ten applied to the kept digits read as an integer.
std::int64_t scale(const NumberText& number) {
    return std::int64_t{number.exponent} - number.fraction + std::max<std::int64_t>(0, number.significant - kKeptDigitsMax);
}

// The kept digits as an integer, combined in double arithmetic from 9-digit
// groups: ((g1 * 10^9 + g2) * 10^9 + ...) * 10^k + glast.
double kept_digits_value(const NumberText& number) {
    constexpr std::array<double, 10> kSmallPowers{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    std::array<char, kKeptDigitsMax> text;
    const int count = kept_digit_text(number, text);
    double d = 0.0;
    for (int from = 0; from < count; from += kGroupDigits) {
        const int width = std::min(kGroupDigits, count - from);
        std::uint32_t group = 0;
        for (int i = from; i < from + width; ++i) group = group * 10 + static_cast<std::uint32_t>(text[static_cast<std::size_t>(i)] - '0');
        if (from > 0) d = d * kSmallPowers[static_cast<std::size_t>(width)];
        d = d + group;
    }
    return d;
}

// Below the table, 10^K is the product of two correctly rounded doubles 10^-c
// and 10^(K+c), c the first split point not below -K.
struct SplitPower {
    int c;
    double negative_power;
};
constexpr std::array<SplitPower, 8> kSplitPowers{{{22, 1e-22},
                                                  {45, 1e-45},
                                                  {66, 1e-66},
                                                  {85, 1e-85},
                                                  {107, 1e-107},
                                                  {127, 1e-127},
                                                  {150, 1e-150},
                                                  {173, 1e-173}}};

// 10^k for the k that survive the range checks (-72 ... 38).
double power_of_ten(std::int64_t k) {
    if (k >= kPowersOfTenLow) return table_power_of_ten(k);
    for (const SplitPower& split : kSplitPowers) {
        if (split.c >= -k) {
            return split.negative_power * table_power_of_ten(k + split.c);
        }
    }
    return 0.0;
}

float signed_zero(bool negative) { return negative ? -0.0f : 0.0f; }

// Nearest subnormal single (ties to even) for P in (2^-150, 0x1.ffffffp-127),
// done on the bits so it holds while the vector unit flushes denormal results.
float subnormal_single(double p, bool negative) {
    const auto bits = std::bit_cast<std::uint64_t>(p);
    const int e = static_cast<int>(bits >> 52) - 1023;
    const std::uint64_t significand = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    // P * 2^149 = significand * 2^(e + 97), with e + 97 in [-53, -30].
    const int shift = -(e + 97);
    std::uint64_t units = significand >> shift;
    const std::uint64_t rest = significand & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
    const std::uint32_t sign = negative ? 0x80000000u : 0u;
    return std::bit_cast<float>(sign | static_cast<std::uint32_t>(units));
}

// A word form or a text with bytes left over: infinity by the sign, the quiet
// NaN whose sign bit is clear only after an explicit "+", or a leftover.
template <typename Real>
int convert_word(const NumberText& number, Real& value) {
    using Bits = std::conditional_t<sizeof(Real) == 4, std::uint32_t, std::uint64_t>;
    constexpr Bits kSignBit = Bits{1} << (sizeof(Real) * 8 - 1);
    switch (number.form) {
    case NumberText::Form::infinity:
        value = number.negative ? -std::numeric_limits<Real>::infinity() : std::numeric_limits<Real>::infinity();
        return conversion_ok;
    case NumberText::Form::nan: {
        const Bits quiet = std::bit_cast<Bits>(std::numeric_limits<Real>::quiet_NaN()) & ~kSignBit;
        value = std::bit_cast<Real>(number.plus ? quiet : quiet | kSignBit);
        return conversion_ok;
    }
    default:
        return conversion_leftover;
    }
}

bool is_plain_number(const NumberText& number) {
    return number.form == NumberText::Form::decimal && !number.leftover;
}

}  // namespace

int decimal_to_int32(const NumberText& number, std::int32_t& value) {
    if (!is_plain_number(number) || number.point || number.exponent_part) return conversion_leftover;
    const std::uint64_t limit = number.negative ? std::uint64_t{2147483648} : std::uint64_t{2147483647};
    if (number.significant > 10 || number.digits > limit) return conversion_overflow;
    value = number.negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(number.digits))
                            : static_cast<std::int32_t>(number.digits);
    return conversion_ok;
}

int detail::any_decimal_to_real32(const NumberText& number, float& value) {
    if (!is_plain_number(number)) return convert_word(number, value);
    if (number.exponent_range > 0) return conversion_overflow;
    if (number.exponent_range < 0 || number.significant == 0) {
        value = signed_zero(number.negative);
        return conversion_ok;
    }
    const std::int64_t m = magnitude(number);
    if (m > 39) return conversion_overflow;
    if (m < -45) {
        value = signed_zero(number.negative);
        return conversion_ok;
    }

    const double p = kept_digits_value(number) * power_of_ten(scale(number));
    if (p > 0x1.fffffefffffffp+127) return conversion_overflow;
    if (p >= 0x1.ffffffp-127) {
        const auto single = static_cast<float>(p);
        value = number.negative ? -single : single;
    } else if (p < 0x1.0000000000001p-150) {
        value = signed_zero(number.negative);
    } else {
        value = subnormal_single(p, number.negative);
    }
    return conversion_ok;
}

int decimal_to_real64(const NumberText& number, double& value) {
    if (!is_plain_number(number)) return convert_word(number, value);
    if (number.exponent_range > 0) return conversion_overflow;
    const std::int64_t m = magnitude(number);
    if (number.exponent_range < 0 || number.significant == 0 || m < -400) {
        value = number.negative ? -0.0 : 0.0;
        return conversion_ok;
    }
    if (m > 310) return conversion_overflow;

    // The kept digits times 10^q, q in [-427, 309] after the checks above.
    const auto q = static_cast<int>(scale(number));
    if (number.more_count == 0 && (number.digits >> 53) == 0 && q >= -22 && q <= 22) {
        // Both factors are exact doubles: one operation rounds correctly.
        const double digits = exact_double(number.digits);
        const double magnitude = q < 0 ? digits / table_power_of_ten(-q) : digits * table_power_of_ten(q);
        value = number.negative ? -magnitude : magnitude;
        return conversion_ok;
    }
    const std::uint64_t bits = nearest_double(number.digits, number.more_digits, number.more_count, q);
    if (bits == kInfinityBits) return conversion_overflow;
    value = std::bit_cast<double>(bits | static_cast<std::uint64_t>(number.negative) << 63);
    return conversion_ok;
}

}  // namespace io
