// The double conversion as it was first written, kept as the reference the
// exact one must match bit for bit: the kept digits and their scale written
// as a short text and read back by the library, which rounds to nearest
// (padded, see below, where the library's 32-bit build does not).
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "io/scan/decimal_conversion.h"

namespace reference {

// `least_digits` pads the digits with zeros: 0 is the conversion as it was.
inline int decimal_to_real64(const io::NumberText& number, double& value, int least_digits = 20) {
    using io::NumberText;
    if (number.form == NumberText::Form::infinity) {
        value = number.negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return io::conversion_ok;
    }
    if (number.form == NumberText::Form::nan) {
        const double quiet = std::numeric_limits<double>::quiet_NaN();
        value = number.plus ? std::abs(quiet) : -std::abs(quiet);
        return io::conversion_ok;
    }
    if (number.form != NumberText::Form::decimal || number.leftover) return io::conversion_leftover;
    if (number.exponent_range > 0) return io::conversion_overflow;
    const std::int64_t m = std::int64_t{number.significant} + number.exponent - number.fraction;
    if (number.exponent_range < 0 || number.significant == 0 || m < -400) {
        value = number.negative ? -0.0 : 0.0;
        return io::conversion_ok;
    }
    if (m > 310) return io::conversion_overflow;

    std::array<char, 64> text{};
    char* out = std::to_chars(text.data(), text.data() + 20, number.digits).ptr;
    if (number.more_count > 0) {
        // The tail's leading zeros, then its digits.
        char tail[16];
        char* tail_end = std::to_chars(tail, tail + 16, number.more_digits).ptr;
        out = std::fill_n(out, number.more_count - (tail_end - tail), '0');
        out = std::copy(tail, tail_end, out);
    }
    // At least 20 digits by default: with fewer, the library multiplies exact
    // doubles, which a 32-bit target's library does in the x87 unit, rounding twice.
    const std::ptrdiff_t zeros = std::max<std::ptrdiff_t>(0, least_digits - (out - text.data()));
    out = std::fill_n(out, zeros, '0');
    *out++ = 'e';
    const std::int64_t scale = std::int64_t{number.exponent} - number.fraction - zeros +
                               std::max<std::int64_t>(0, number.significant - NumberText::kKeptDigitsMax);
    out = std::to_chars(out, text.data() + text.size(), scale).ptr;
    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(text.data(), out, magnitude);
    if (error == std::errc::result_out_of_range) {
        if (m > 0) return io::conversion_overflow;
        magnitude = 0.0;
    } else if (error != std::errc{} || end != out) {
        return io::conversion_leftover;
    }
    value = number.negative ? -magnitude : magnitude;
    return io::conversion_ok;
}

}  // namespace reference
