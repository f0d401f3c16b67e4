// Double-precision values at a chosen number of decimals: the exact binary
// value rounded half to even, never through a shorter or a decimal detour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace io {

inline constexpr std::uint32_t kMostFixedDecimals = 9;

// Sign, the 309 integer digits of the largest finite double, the separator
// and the decimals.
inline constexpr std::size_t kFixedDecimalsRoom = 1 + 309 + 1 + kMostFixedDecimals;

// Writes `value` with exactly `decimals` digits (at most kMostFixedDecimals)
// after `separator` into `out` and returns the length. At least one digit
// stands before the separator; a result that rounds to zero has no sign.
// No separator when `decimals` is 0. Infinities and NaN read "Infinity",
// "-Infinity" and "NaN", as the classic real fields write them.
std::size_t format_fixed_decimals(double value, std::uint32_t decimals, char separator,
                                  std::span<char, kFixedDecimalsRoom> out);

// The same into `out`, which holds at least as many bytes as the text takes:
// 1 + 16 + 1 + decimals for a value below 10^15 in magnitude (or not a
// number, or infinite), kFixedDecimalsRoom for any.
std::size_t format_fixed_decimals_into(double value, std::uint32_t decimals, char separator, char* out);

}  // namespace io
