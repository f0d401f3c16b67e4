// Decimal text to integer and floating-point values, as the free-form scanner
// needs them. Pure functions: text in, value and status out; nothing allocates.
#pragma once

#include <cstdint>
#include <string_view>

namespace io {

// Status of a conversion; any non-zero status is an input conversion error.
enum ConversionStatus : int {
    conversion_ok = 0,
    conversion_leftover = 3,  // a malformed text or bytes after a valid number
    conversion_overflow = 8,  // beyond the range of the target type
};

// Optional sign, then decimal digits only. The value is stored only on success.
int decimalToInt32(std::string_view text, std::int32_t& value);

// Significand, optional exponent (letter E, D or Q, or a bare sign), or a word
// form INF, INFINITY, NAN(...). Values below the subnormal range give zero.
int decimalToReal32(std::string_view text, float& value);

// The same text rules, converted to the nearest double.
int decimalToReal64(std::string_view text, double& value);

}  // namespace io
