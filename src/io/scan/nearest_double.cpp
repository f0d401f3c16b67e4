#include "io/scan/nearest_double.h"

#include <algorithm>
#include <array>
#include <bit>

#include "io/scan/powers_of_five.h"
#include "io/scan/wide_product.h"

namespace io {
namespace {

constexpr int kFractionBits = 52;
constexpr int kExponentBias = 1023;
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << kFractionBits;

// Compares W * 10^q with the point halfway between the doubles of bits u
// and u + 1: (2 s + 1) * 2^(e - 1), s and e of u's significand and unit.
// With 10^q = 5^q * 2^q the power of five goes to one side and every power
// of two to one side, so both are integers.
int compare_with_midpoint(const BigInteger& w, int q, std::uint64_t u) {
    const int biased = static_cast<int>(u >> kFractionBits);
    std::uint64_t significand = u & (kHiddenBit - 1);
    int unit = 1 - kExponentBias - kFractionBits;  // a subnormal's
    if (biased > 0) {
        significand |= kHiddenBit;
        unit = biased - kExponentBias - kFractionBits;
    }
    BigInteger decimal = w;
    BigInteger midpoint(2 * significand + 1);
    if (q >= 0) decimal.multiply_power_of_five(q);
    else midpoint.multiply_power_of_five(-q);
    const int two = unit - 1 - q;
    if (two > 0) midpoint.shift_left(two);
    else decimal.shift_left(-two);
    return compare(decimal, midpoint);
}

}  // namespace

// With W shifted to 64 significant bits and T the table's word of 5^q, the
// value is W * T * 2^(floor(q log2 10) - 127 - leading zeros), W * T in
// [2^190, 2^192). Its upper 128 bits P are estimated from below: the true
// product lies in [P, P + 2) in units of P's lowest bit, after both words'
// products, or in [P, P + 2^64 + 1) after the high word's alone. The result
// is certain when no rounding midpoint can lie in that interval.
DoubleEstimate estimate_nearest_double(std::uint64_t w, int q) {
    // Below the table even 19 nines are under half the least subnormal;
    // above it even 1 is beyond the largest double.
    if (q < kLeastPowerOfFive) return {0, true};
    if (q > kGreatestPowerOfFive) return {kInfinityBits, true};
    const int leading_zeros = std::countl_zero(w);
    w <<= leading_zeros;
    const WideWord& power = power_of_five(q);
    WideWord product = wide_product(w, power.high);
    // The low word's product adds under 2^64, a carry of at most one into
    // the high word, which reaches the deciding bits (9 and up) only
    // through nine 1 bits.
    constexpr std::uint64_t kCarryPath = 0x1FF;
    if ((product.high & kCarryPath) == kCarryPath) {
        const WideWord rest = wide_product(w, power.low);
        product.low += rest.high;
        product.high += product.low < rest.high ? 1 : 0;
    }

    const int upper = static_cast<int>(product.high >> 63);
    int biased = floor_log2_power_of_ten(q) + 63 + upper - leading_zeros + kExponentBias;
    int round_bit = 9 + upper;  // of product.high: below the 53 bits kept
    if (biased <= 0) {
        // A subnormal keeps fewer bits.
        round_bit += 1 - biased;
        if (round_bit > 63) return {0, product.high != ~std::uint64_t{0}};  // under half the least subnormal
    }
    const std::uint64_t below_mask = (std::uint64_t{1} << round_bit) - 1;
    const std::uint64_t below = product.high & below_mask;
    const bool round_up = ((product.high >> round_bit) & 1) != 0;
    // Rounding up, the value is past the midpoint unless P is on it; down,
    // it stays short of it unless P + 1 reaches it. After the high word
    // alone, `below` is never all 1 bits (see the carry path).
    const bool certain = round_up ? below != 0 || product.low != 0
                                  : below != below_mask || product.low != ~std::uint64_t{0};
    const std::uint64_t kept = round_bit == 63 ? 0 : product.high >> (round_bit + 1);
    std::uint64_t bits = kept + (round_up ? 1 : 0);
    // A normal significand's leading bit carries into the exponent field,
    // and so does a rounding up to the next power of two.
    if (biased > 0) bits += static_cast<std::uint64_t>(biased - 1) << kFractionBits;
    return {std::min(bits, kInfinityBits), certain};
}

// Steps from the candidate until the value lies between the midpoints on
// either side, a tie going to the even significand (infinity's is even, as
// the rounding beyond the largest double asks).
std::uint64_t exact_nearest_double(const BigInteger& w, int q, std::uint64_t candidate) {
    std::uint64_t u = candidate;
    for (;;) {
        if (u > 0) {
            const int below = compare_with_midpoint(w, q, u - 1);
            if (below < 0 || (below == 0 && (u & 1) != 0)) {
                --u;
                continue;
            }
        }
        if (u < kInfinityBits) {
            const int above = compare_with_midpoint(w, q, u);
            if (above > 0 || (above == 0 && (u & 1) != 0)) {
                ++u;
                continue;
            }
        }
        return u;
    }
}

std::uint64_t nearest_double(std::uint64_t head, std::uint32_t tail, int tail_count, int q) {
    constexpr std::array<std::uint32_t, 9> kTens{1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    const int head_q = q + tail_count;
    const DoubleEstimate low = estimate_nearest_double(head, head_q);
    if (tail == 0 && low.certain) return low.bits;
    // Digits past the 19th: the value lies in [head, head + 1) * 10^head_q,
    // and when both ends round alike, so does it. head + 1 is at most 10^19.
    if (tail != 0 && low.certain) {
        const DoubleEstimate high = estimate_nearest_double(head + 1, head_q);
        if (high.certain && high.bits == low.bits) return low.bits;
    }
    BigInteger w(head);
    w.multiply(kTens[static_cast<std::size_t>(tail_count)]);
    w.add(tail);
    return exact_nearest_double(w, q, low.bits);
}

}  // namespace io
