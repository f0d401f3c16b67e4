// Recognised number texts to integer and floating-point values, as the
// free-form scanner needs them. Pure functions: the recogniser's findings in,
// value and status out; nothing allocates and no text is read again.
#pragma once

#include <bit>
#include <cstdint>

#include "io/scan/number_text.h"
#include "io/register_width.h"
#include "io/scan/powers_of_ten.h"

namespace io {

// Status of a conversion; any non-zero status is an input conversion error.
enum ConversionStatus : int {
    conversion_ok = 0,
    conversion_leftover = 3,  // not a number of this kind, or bytes after a valid one
    conversion_overflow = 8,  // beyond the range of the target type
};

// An optional sign, then decimal digits only. The value is stored only on success.
int decimal_to_int32(const NumberText& number, std::int32_t& value);

// The same, converted to the nearest double (ties to even); beyond the
// largest double an overflow, what rounds below the least subnormal a
// signed zero.
int decimal_to_real64(const NumberText& number, double& value);

// An integer below 2^53 as a double, exactly: one conversion where a
// register holds it; on a 32-bit target two of 32-bit halves that fit a
// signed integer, since a 64-bit one goes through the x87 unit and memory.
inline double exact_double(std::uint64_t value) {
    if constexpr (kWideRegisters) return static_cast<double>(static_cast<std::int64_t>(value));
    constexpr int low_bits = 31;
    const auto high = static_cast<std::int32_t>(value >> low_bits);  // below 2^22
    const auto low = static_cast<std::int32_t>(value & ((std::uint64_t{1} << low_bits) - 1));
    return static_cast<double>(high) * 0x1p31 + static_cast<double>(low);  // both exact, and so is the sum
}

// A plain decimal (no exponent, no word) of at most 53 bits and 19 digits
// after the point: the exact integer times a correctly rounded power of ten,
// well inside the normal range, rounded once to single, which is what the
// general way comes to for it. Inline, as most coordinates are such.
inline bool plain_decimal_to_real32(const NumberText& number, float& value) {
    const bool plain = number.form == NumberText::Form::decimal && !number.exponent_part;
    if (!plain || (number.digits >> 53) != 0 || number.fraction > 19) return false;
    // The digits convert as a signed integer, in one instruction; zero needs
    // no case of its own, and the sign is set without a branch.
    const double digits = exact_double(number.digits);
    const auto single = static_cast<float>(digits * table_power_of_ten(-number.fraction));
    const std::uint32_t sign = static_cast<std::uint32_t>(number.negative) << 31;
    value = std::bit_cast<float>(std::bit_cast<std::uint32_t>(single) | sign);
    return true;
}

// A plain decimal (no exponent, no word) of at most 53 bits and 22 digits
// after the point: the integer and the power of ten are both exact doubles,
// so one division rounds correctly, as decimal_to_real64 would. Inline, as
// most coordinates are such; false leaves the value for the general way.
// A template only so that a caller's own function of this name wins an
// unqualified call over it, which the argument's namespace brings in too.
template <typename = void>
inline bool plain_decimal_to_real64(const NumberText& number, double& value) {
    const bool plain = number.form == NumberText::Form::decimal && !number.exponent_part;
    if (!plain || (number.digits >> 53) != 0 || number.fraction > 22) return false;
    const double magnitude = exact_double(number.digits) / table_power_of_ten(number.fraction);
    value = number.negative ? -magnitude : magnitude;
    return true;
}

namespace detail {
int any_decimal_to_real32(const NumberText& number, float& value);
}

// Significand, optional exponent, or a word form INF, INFINITY, NAN(...).
// Values below the subnormal range give zero.
inline int decimal_to_real32(const NumberText& number, float& value) {
    if (plain_decimal_to_real32(number, value)) return conversion_ok;
    return detail::any_decimal_to_real32(number, value);
}

}  // namespace io
