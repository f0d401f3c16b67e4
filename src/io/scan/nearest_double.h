// The double nearest to a decimal W * 10^q, ties to even, found without
// text: a 128-bit product with a power of five decides nearly every case,
// and exact integer comparisons decide the rest. Pure integer arithmetic, so
// subnormal results survive a vector unit that flushes them to zero.
#pragma once

#include <cstdint>

#include "io/scan/big_integer.h"

namespace io {

inline constexpr std::uint64_t kInfinityBits = 0x7FF0000000000000u;

// The bits of a double's magnitude, and whether they are certainly those
// of the nearest one; when not, they are at most one unit from it.
struct DoubleEstimate {
    std::uint64_t bits;
    bool certain;
};

// For W > 0 of at most 64 bits. Infinity's bits when W * 10^q rounds beyond
// the largest double.
DoubleEstimate estimate_nearest_double(std::uint64_t w, int q);

// For W > 0 from a candidate a few units away: always right, and slow.
std::uint64_t exact_nearest_double(const BigInteger& w, int q, std::uint64_t candidate);

// W is the first 19 digits `head` followed by the `tail_count` digits of
// `tail` (at most 8). Infinity's bits when it rounds beyond the largest double.
std::uint64_t nearest_double(std::uint64_t head, std::uint32_t tail, int tail_count, int q);

}  // namespace io
