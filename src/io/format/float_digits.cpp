#include "io/format/float_digits.h"

#include <algorithm>
#include <cstring>

// A single-precision value is m * 2^e with m < 2^24 and -149 <= e <= 104, so
// its exact decimal expansion is finite: an integer part below 2^128 and, for
// e < 0, a fraction of -e bits that yields one decimal digit per
// multiplication by ten. Every digit below comes from that exact arithmetic;
// the rounding decision looks at the exact remainder, so no digit is ever
// taken from an approximation.

namespace io::digits {
namespace {

// A fraction of 61 to 149 bits (values below 2^-36), kept with its binary
// point above the top limb so the digit is the carry out of a times-ten.
class WideFraction {
public:
    static constexpr int kLimbCount = 6;

    WideFraction(std::uint32_t m, int q) {
        // q > 60 > 24: the whole significand lies below the point.
        const int shift = 32 * kLimbCount - q;
        const int word = shift / 32;
        const std::uint64_t placed = std::uint64_t{m} << (shift % 32);
        limb_[word] = static_cast<std::uint32_t>(placed);
        limb_[word + 1] = static_cast<std::uint32_t>(placed >> 32);
    }
    bool is_zero() const {
        return std::all_of(limb_, limb_ + kLimbCount, [](std::uint32_t l) { return l == 0; });
    }
    unsigned next_digit() {
        std::uint64_t carry = 0;
        for (auto& l : limb_) {
            const std::uint64_t t = std::uint64_t{l} * 10 + carry;
            l = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        return static_cast<unsigned>(carry);
    }
    Dropped versus_half() const {
        constexpr std::uint32_t kTopBit = 0x80000000u;
        const bool below_top = std::any_of(limb_, limb_ + kLimbCount - 1, [](std::uint32_t l) { return l != 0; });
        return compare_with_half(limb_[kLimbCount - 1] | std::uint64_t{below_top}, kTopBit);
    }

private:
    std::uint32_t limb_[kLimbCount]{};
};

// m < 2^24 shifted by at most this many bits still fits a 64-bit word.
constexpr int kWordShiftMax = 40;

// Digits of m * 2^e for e > kWordShiftMax (up to 2^128), via base 10^9 division.
char* put_wide_decimal(std::uint32_t m, int e, char* end) {
    constexpr int kLimbCount = 5;
    constexpr std::uint32_t chunk = 1000000000u;
    std::uint32_t limb[kLimbCount]{};
    const std::uint64_t placed = std::uint64_t{m} << (e % 32);
    limb[e / 32] = static_cast<std::uint32_t>(placed);
    limb[e / 32 + 1] = static_cast<std::uint32_t>(placed >> 32);

    char* p = end;
    for (;;) {
        std::uint64_t rem = 0;
        bool more = false;
        for (int i = kLimbCount - 1; i >= 0; --i) {
            const std::uint64_t cur = (rem << 32) | limb[i];
            limb[i] = static_cast<std::uint32_t>(cur / chunk);
            rem = cur % chunk;
            more = more || limb[i] != 0;
        }
        // Below 10^9: divided in 32 bits.
        if (!more) return put_decimal(static_cast<std::uint32_t>(rem), p);
        p = put_digits(static_cast<std::uint32_t>(rem), 9, p);
    }
}

// Keeps the first `keep` of the `n` digits at `begin` (an integer), rounded;
// the dropped positions become '0'. A carry off the front writes one digit
// before `begin`. Returns the new first digit.
char* round_integer_digits(char* begin, std::size_t n, std::size_t keep) {
    // The dropped digits against half a unit: "5" then zeros is exactly half.
    const bool rest = std::any_of(begin + keep + 1, begin + n, [](char c) { return c != '0'; });
    const Dropped dropped = compare_with_half(static_cast<std::uint64_t>(begin[keep] - '0') * 2 + rest, 10);
    const bool odd = ((begin[keep - 1] - '0') & 1) != 0;
    std::fill(begin + keep, begin + n, '0');
    if (!rounds_up(dropped, odd)) return begin;
    std::size_t k = keep;
    while (k > 0 && begin[k - 1] == '9') begin[--k] = '0';
    if (k > 0) {
        ++begin[k - 1];
        return begin;
    }
    *--begin = '1';
    return begin;
}

FixedDigits integer_value(std::uint32_t m, int e, std::span<char> frac) {
    std::fill(frac.begin(), frac.end(), '0');
    char buf[48];
    char* const end = buf + sizeof buf;
    char* begin = e <= kWordShiftMax ? put_decimal(std::uint64_t{m} << e, end) : put_wide_decimal(m, e, end);
    if (const auto n = static_cast<std::size_t>(end - begin); n > kMaxSignificant)
        begin = round_integer_digits(begin, n, kMaxSignificant);

    FixedDigits r;
    r.integer_length = static_cast<std::uint32_t>(end - begin);
    std::memcpy(r.integer, begin, r.integer_length);
    r.is_zero = false;
    return r;
}

template <class Fraction>
FixedDigits fraction_value(std::uint32_t m, int q, std::span<char> frac) {
    std::uint32_t whole = q < 32 ? m >> q : 0;
    Fraction f(m, q);
    const std::size_t d = frac.size();

    // Digits after the point that are generated; later ones are '0'.
    std::size_t limit = d;
    if (whole != 0 && d > kMaxSignificant - 8)
        limit = std::min<std::size_t>(d, kMaxSignificant - decimal_length(std::uint64_t{whole}));
    bool leading = whole == 0;
    bool nonzero = false;
    std::size_t j = 0;
    for (; j < limit && !f.is_zero(); ++j) {
        const unsigned digit = f.next_digit();
        frac[j] = static_cast<char>('0' + digit);
        if (digit != 0) {
            nonzero = true;
            if (leading) {
                leading = false;
                limit = std::min<std::size_t>(d, j + kMaxSignificant);
            }
        }
    }
    std::fill(frac.begin() + static_cast<std::ptrdiff_t>(j), frac.end(), '0');

    // Round on the exact remainder (none left: nothing dropped).
    const bool odd = (j > 0 ? (frac[j - 1] - '0') & 1 : whole & 1) != 0;
    if (rounds_up(f.versus_half(), odd)) {
        nonzero = true;
        std::size_t k = j;
        while (k > 0 && frac[k - 1] == '9') frac[--k] = '0';
        if (k > 0)
            ++frac[k - 1];
        else
            ++whole;
    }

    FixedDigits r;
    if (whole != 0) {
        char buf[12];
        char* const end = buf + sizeof buf;
        const char* begin = put_decimal(whole, end);
        r.integer_length = static_cast<std::uint32_t>(end - begin);
        std::memcpy(r.integer, begin, r.integer_length);
    }
    r.is_zero = whole == 0 && !nonzero;
    return r;
}

}  // namespace

FixedDigits round_fixed(std::uint32_t bits, std::span<char> frac) {
    const auto [m, e] = decode(bits);
    if (m == 0) {
        std::fill(frac.begin(), frac.end(), '0');
        return FixedDigits{};
    }
    if (e >= 0) return integer_value(m, e, frac);
    if (-e <= NarrowFraction::kBitsMax) return fraction_value<NarrowFraction>(m, -e, frac);
    return fraction_value<WideFraction>(m, -e, frac);
}

}  // namespace io::digits
