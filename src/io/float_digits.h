// Exact decimal digits of a single-precision value at a fixed number of
// digits after the point.
#pragma once

#include <cstdint>
#include <span>

namespace io::digits {

// At most this many significant digits are kept; later positions read "0".
inline constexpr std::uint32_t max_significant = 37;

// The magnitude rounded half to even on its exact binary value.
struct FixedDigits {
    char integer[41];                 // digits before the point, most significant first
    std::uint32_t integer_length = 0;  // 0 when the rounded value is below 1
    bool is_zero = true;              // every digit, before and after the point, is 0
};

// `bits` is a finite single-precision pattern (its sign is ignored). Writes
// the frac.size() digits after the point into `frac` as '0'..'9' and returns
// the digits before it. Pure; allocates nothing.
FixedDigits round_fixed(std::uint32_t bits, std::span<char> frac);

// Writes the decimal digits of `value` so that they end just before `end`;
// returns where they begin. Zero gives "0".
char* put_decimal(std::uint64_t value, char* end);

}  // namespace io::digits
