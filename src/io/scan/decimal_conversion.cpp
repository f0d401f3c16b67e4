#include "io/scan/decimal_conversion.h"

#include "io/scan/plain_decimal.h"
#include "io/scan/powers_of_ten.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <limits>
#include <type_traits>

// The arithmetic below relies on every double operation being rounded to
// double on its own: no wider evaluation (x87), and no contraction into fused
// multiply-adds (the x86-64 baseline has none, and no option here enables them).
static_assert(FLT_EVAL_METHOD == 0, "double operations must round to double");

namespace io {
namespace {

constexpr int kept_digits_max = 27;
constexpr int group_digits = 9;
constexpr int exponent_digits_max = 6;

// What a text says, before any arithmetic.
struct DecimalText {
    enum class Kind { number, infinity, nan, malformed };
    Kind kind = Kind::number;
    bool negative = false;
    bool plus = false;  // an explicit "+" (it chooses the NaN's sign bit)
    // The kept significant digits, read as 9-digit groups; the last may be short.
    std::array<std::uint32_t, 3> groups{};
    int group_count = 0;
    int last_group_digits = 0;
    std::int64_t significant = 0;  // S: significant digits, kept or not
    std::int64_t fraction = 0;     // F: digits after the point
    std::int64_t exponent = 0;     // X
    int exponent_range = 0;        // +1 / -1: more than six significant exponent digits
};

constexpr bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
constexpr char lower(char c) { return static_cast<char>(c | 0x20); }
constexpr bool is_letter(char c) { return lower(c) >= 'a' && lower(c) <= 'z'; }

bool equals_ignoring_case(std::string_view text, std::string_view lower_word) {
    if (text.size() != lower_word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!is_letter(text[i]) || lower(text[i]) != lower_word[i]) return false;
    }
    return true;
}

// "NAN" may carry a part of letters, digits and underscores in parentheses.
bool is_nan_word(std::string_view word) {
    if (word.size() < 3 || !equals_ignoring_case(word.substr(0, 3), "nan")) return false;
    std::string_view rest = word.substr(3);
    if (rest.empty()) return true;
    if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') return false;
    return std::all_of(rest.begin() + 1, rest.end() - 1,
                       [](char c) { return is_letter(c) || is_digit(c) || c == '_'; });
}

DecimalText parse_word(DecimalText text, std::string_view word) {
    if (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity")) {
        text.kind = DecimalText::Kind::infinity;
    } else if (is_nan_word(word)) {
        text.kind = DecimalText::Kind::nan;
    } else {
        text.kind = DecimalText::Kind::malformed;
    }
    return text;
}

DecimalText parse(std::string_view source) {
    DecimalText text;
    const char* p = source.data();
    const char* const end = p + source.size();

    if (p < end && (*p == '+' || *p == '-')) {
        text.negative = *p == '-';
        text.plus = *p == '+';
        ++p;
    }
    if (p < end && is_letter(*p)) return parse_word(text, std::string_view(p, static_cast<std::size_t>(end - p)));

    // Leading zeros, before or after the point, only move the point.
    bool point = false;
    for (; p < end; ++p) {
        if (*p == '0') {
            text.fraction += point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    // Significant digits: the first 27 are kept, later ones only count.
    std::uint32_t group = 0;
    int in_group = 0;
    for (; p < end; ++p) {
        const char c = *p;
        if (is_digit(c)) {
            if (text.significant < kept_digits_max) {
                group = group * 10 + static_cast<std::uint32_t>(c - '0');
                if (++in_group == group_digits) {
                    text.groups[static_cast<std::size_t>(text.group_count++)] = group;
                    group = 0;
                    in_group = 0;
                }
            }
            ++text.significant;
            text.fraction += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (in_group > 0) {
        text.groups[static_cast<std::size_t>(text.group_count++)] = group;
        text.last_group_digits = in_group;
    } else {
        text.last_group_digits = group_digits;
    }

    // Exponent: a letter with an optional sign, or a bare sign, then digits.
    if (p < end) {
        const char l = lower(*p);
        const bool letter = l == 'e' || l == 'd' || l == 'q';
        p += letter;
        bool negative_exponent = false;
        bool signed_exponent = false;
        if (p < end && (*p == '+' || *p == '-')) {
            negative_exponent = *p == '-';
            signed_exponent = true;
            ++p;
        }
        if (!letter && !signed_exponent) {
            text.kind = DecimalText::Kind::malformed;
            return text;
        }
        const char* const digits = p;
        while (p < end && *p == '0') ++p;
        std::int64_t value = 0;
        int counted = 0;
        for (; p < end && is_digit(*p); ++p) {
            if (++counted <= exponent_digits_max) value = value * 10 + (*p - '0');
        }
        if (signed_exponent && p == digits) {
            text.kind = DecimalText::Kind::malformed;
            return text;
        }
        if (counted > exponent_digits_max) text.exponent_range = negative_exponent ? -1 : 1;
        text.exponent = negative_exponent ? -value : value;
    }
    if (p != end) text.kind = DecimalText::Kind::malformed;
    return text;
}

// Decimal exponent of the leading digit plus one: the value lies in [10^(M-1), 10^M).
std::int64_t magnitude(const DecimalText& text) { return text.significant + text.exponent - text.fraction; }

// Power of ten applied to the kept digits read as an integer.
std::int64_t scale(const DecimalText& text) {
    return text.exponent - text.fraction + std::max<std::int64_t>(0, text.significant - kept_digits_max);
}

// The kept digits as an integer, combined in double arithmetic group by group.
double kept_digits_value(const DecimalText& text) {
    constexpr std::array<double, 10> small_powers{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    double d = text.groups[0];
    if (text.group_count == 1) return d;
    for (int i = 1; i + 1 < text.group_count; ++i) {
        d = d * 1e9;
        d = d + text.groups[static_cast<std::size_t>(i)];
    }
    d = d * small_powers[static_cast<std::size_t>(text.last_group_digits)];
    return d + text.groups[static_cast<std::size_t>(text.group_count - 1)];
}

// Below the table, 10^K is the product of two correctly rounded doubles 10^-c
// and 10^(K+c), c the first split point not below -K.
struct SplitPower {
    int c;
    double negative_power;
};
constexpr std::array<SplitPower, 8> split_powers{{{22, 1e-22},
                                                  {45, 1e-45},
                                                  {66, 1e-66},
                                                  {85, 1e-85},
                                                  {107, 1e-107},
                                                  {127, 1e-127},
                                                  {150, 1e-150},
                                                  {173, 1e-173}}};

// 10^k for the k that survive the range checks (-72 ... 38).
double power_of_ten(std::int64_t k) {
    if (k >= powers_of_ten_low) return table_power_of_ten(k);
    for (const SplitPower& split : split_powers) {
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

// A word form or a malformed text: infinity by the sign, the quiet NaN whose
// sign bit is clear only after an explicit "+", or a leftover.
template <typename Real>
int convert_word(const DecimalText& text, Real& value) {
    using Bits = std::conditional_t<sizeof(Real) == 4, std::uint32_t, std::uint64_t>;
    constexpr Bits sign_bit = Bits{1} << (sizeof(Real) * 8 - 1);
    switch (text.kind) {
    case DecimalText::Kind::infinity:
        value = text.negative ? -std::numeric_limits<Real>::infinity() : std::numeric_limits<Real>::infinity();
        return conversion_ok;
    case DecimalText::Kind::nan: {
        const Bits quiet = std::bit_cast<Bits>(std::numeric_limits<Real>::quiet_NaN()) & ~sign_bit;
        value = std::bit_cast<Real>(text.plus ? quiet : quiet | sign_bit);
        return conversion_ok;
    }
    default:
        return conversion_leftover;
    }
}

}  // namespace

int decimalToInt32(std::string_view text, std::int32_t& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end) return conversion_leftover;
    std::uint64_t magnitude = 0;
    for (; p < end; ++p) {
        const auto digit = static_cast<unsigned char>(*p - '0');
        if (digit > 9) return conversion_leftover;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return conversion_overflow;
        magnitude = magnitude * 10 + digit;
    }
    const std::uint64_t limit = negative ? std::uint64_t{2147483648} : std::uint64_t{2147483647};
    if (magnitude > limit) return conversion_overflow;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return conversion_ok;
}

int decimalToReal32(std::string_view source, float& value) {
    if (PlainDecimal plain; readPlainDecimal(source, plain) == source.size() && plain.exact()) {
        value = plainDecimalToReal32(plain);
        return conversion_ok;
    }
    const DecimalText text = parse(source);
    if (text.kind != DecimalText::Kind::number) return convert_word(text, value);
    if (text.exponent_range > 0) return conversion_overflow;
    if (text.exponent_range < 0 || text.significant == 0) {
        value = signed_zero(text.negative);
        return conversion_ok;
    }
    const std::int64_t m = magnitude(text);
    if (m > 39) return conversion_overflow;
    if (m < -45) {
        value = signed_zero(text.negative);
        return conversion_ok;
    }

    const double p = kept_digits_value(text) * power_of_ten(scale(text));
    if (p > 0x1.fffffefffffffp+127) return conversion_overflow;
    if (p >= 0x1.ffffffp-127) {
        const auto single = static_cast<float>(p);
        value = text.negative ? -single : single;
    } else if (p < 0x1.0000000000001p-150) {
        value = signed_zero(text.negative);
    } else {
        value = subnormal_single(p, text.negative);
    }
    return conversion_ok;
}

int decimalToReal64(std::string_view source, double& value) {
    const DecimalText text = parse(source);
    if (text.kind != DecimalText::Kind::number) return convert_word(text, value);
    if (text.exponent_range > 0) return conversion_overflow;
    const double zero = text.negative ? -0.0 : 0.0;
    const std::int64_t m = magnitude(text);
    if (text.exponent_range < 0 || text.significant == 0 || m < -400) {
        value = zero;
        return conversion_ok;
    }
    if (m > 310) return conversion_overflow;

    // Kept digits and the scale as a short text, rounded to nearest by the library.
    std::array<char, 64> buffer{};
    char* out = buffer.data();
    char* const last = buffer.data() + buffer.size();
    for (int i = 0; i < text.group_count; ++i) {
        const int width = i + 1 == text.group_count ? text.last_group_digits : group_digits;
        std::uint32_t group = text.groups[static_cast<std::size_t>(i)];
        for (int d = width - 1; d >= 0; --d) {
            out[d] = static_cast<char>('0' + group % 10);
            group /= 10;
        }
        out += width;
    }
    *out++ = 'e';
    out = std::to_chars(out, last, scale(text)).ptr;
    double magnitude_value = 0.0;
    const auto [end, error] = std::from_chars(buffer.data(), out, magnitude_value);
    if (error == std::errc::result_out_of_range) {
        if (m > 0) return conversion_overflow;
        magnitude_value = 0.0;
    } else if (error != std::errc{} || end != out) {
        return conversion_leftover;
    }
    value = text.negative ? -magnitude_value : magnitude_value;
    return conversion_ok;
}

}  // namespace io
