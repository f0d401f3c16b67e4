#include "io/format/fixed_decimals.h"

#include "io/format/float_digits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace io {
namespace {

constexpr std::array<std::uint32_t, kMostFixedDecimals + 1> powers_of_five = {
    1, 5, 25, 125, 625, 3125, 15625, 78125, 390625, 1953125};

// The largest significand whose product with 5^d a word still holds: a
// table, as a division at every value would cost more than the rest.
constexpr std::array<std::uint64_t, kMostFixedDecimals + 1> largest_factor = [] {
    std::array<std::uint64_t, kMostFixedDecimals + 1> f{};
    for (std::size_t d = 0; d < f.size(); ++d) f[d] = UINT64_MAX / powers_of_five[d];
    return f;
}();

// A natural number of 32-bit limbs, lowest first: room for the largest
// double times 10^9 (2^1024 * 2^30 needs 33).
class Natural {
public:
    static constexpr std::size_t kLimbs = 36;

    Natural(std::uint64_t m, std::uint32_t factor) {
        // m < 2^53 and factor < 2^21: three limbs hold the product.
        const std::uint64_t low = (m & 0xffffffffu) * factor;
        const std::uint64_t high = (m >> 32) * factor + (low >> 32);
        limbs_[0] = static_cast<std::uint32_t>(low);
        limbs_[1] = static_cast<std::uint32_t>(high);
        limbs_[2] = static_cast<std::uint32_t>(high >> 32);
        size_ = 3;
        trim();
    }

    bool fits_64() const { return size_ <= 2; }
    std::uint64_t low_64() const { return (std::uint64_t{limbs_[1]} << 32) | limbs_[0]; }

    void shift_left(unsigned bits) {
        const unsigned words = bits / 32;
        const unsigned rest = bits % 32;
        std::size_t n = size_ + words + 1;
        for (std::size_t i = n; i-- > 0;) {
            const std::uint64_t from_high = i >= words && i - words < size_ ? limbs_[i - words] : 0;
            const std::uint64_t from_low = i >= words + 1 && i - words - 1 < size_ ? limbs_[i - words - 1] : 0;
            limbs_[i] = static_cast<std::uint32_t>(rest == 0 ? from_high : (from_high << rest) | (from_low >> (32 - rest)));
        }
        size_ = n;
        trim();
    }

    // Divides by 2^bits, rounding half to even on the bits dropped; bits is
    // below the width of the value plus one, so the half is a bit of it or
    // just above it.
    void shift_right_rounded(unsigned bits) {
        // The dropped part against half of 2^bits: the bit below the cut, then any bit under it.
        const bool half_bit = bit(bits - 1);
        const unsigned under = bits - 1;  // the bits below the half's
        bool below = false;
        for (std::size_t i = 0; i < under / 32 && i < size_; ++i) below = below || limbs_[i] != 0;
        if (under % 32 != 0 && under / 32 < size_)
            below = below || (limbs_[under / 32] & ((std::uint32_t{1} << (under % 32)) - 1)) != 0;
        const unsigned words = bits / 32;
        const unsigned rest = bits % 32;
        for (std::size_t i = 0; i < size_; ++i) {
            const std::uint64_t low = i + words < size_ ? limbs_[i + words] : 0;
            const std::uint64_t high = i + words + 1 < size_ ? limbs_[i + words + 1] : 0;
            limbs_[i] = static_cast<std::uint32_t>(rest == 0 ? low : (low >> rest) | (high << (32 - rest)));
        }
        trim();
        if (half_bit && (below || (limbs_[0] & 1u) != 0)) add_one();
    }

    bool is_zero() const { return size_ == 0; }

    // The decimal digits, most significant first, into the end of `out`;
    // returns where they begin. Destroys the value.
    char* write_digits_before(char* end) {
        while (size_ > 2) {
            std::uint64_t remainder = 0;
            for (std::size_t i = size_; i-- > 0;) {
                const std::uint64_t part = (remainder << 32) | limbs_[i];
                limbs_[i] = static_cast<std::uint32_t>(part / 1000000000u);
                remainder = part % 1000000000u;
            }
            trim();
            for (int k = 0; k < 9; ++k, remainder /= 10) *--end = static_cast<char>('0' + remainder % 10);
        }
        std::uint64_t rest = low_64();
        do {
            *--end = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        return end;
    }

private:
    bool bit(unsigned i) const { return i / 32 < size_ && ((limbs_[i / 32] >> (i % 32)) & 1u) != 0; }
    void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
    }
    void add_one() {
        for (std::size_t i = 0; i < size_; ++i)
            if (++limbs_[i] != 0) return;
        limbs_[size_++] = 1;
    }

    std::array<std::uint32_t, kLimbs> limbs_{};
    std::size_t size_ = 0;
};

// Two digits a step: a coordinate has ten or more.
template <class Word>
char* write_pairs_before(char* end, Word v) {
    while (v >= 100) {
        const auto pair = static_cast<std::size_t>(v % 100) * 2;
        v /= 100;
        end -= 2;
        std::memcpy(end, digits::kDigitPairs + pair, 2);
    }
    if (v >= 10) {
        end -= 2;
        std::memcpy(end, digits::kDigitPairs + v * 2, 2);
    } else {
        *--end = static_cast<char>('0' + v);
    }
    return end;
}

// In 32-bit arithmetic where the value fits, as a coordinate's integer part
// nearly always does: its divisions by 100 cost less than a word's.
char* write_u64_before(char* end, std::uint64_t v) {
    if (v <= UINT32_MAX) return write_pairs_before(end, static_cast<std::uint32_t>(v));
    return write_pairs_before(end, v);
}

constexpr std::array<std::uint64_t, 20> kPowersOfTen = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
    return p;
}();

// How many decimal digits `v` has; one for zero.
unsigned digit_count(std::uint64_t v) {
    // Zero counts as one; setting the low bit moves no number across a power of ten.
    v |= 1;
    // log10(2) ~ 1233 / 4096: an estimate that is exact or one short.
    const unsigned estimate = (static_cast<unsigned>(std::bit_width(v)) * 1233) >> 12;
    return estimate + (estimate < kPowersOfTen.size() && v >= kPowersOfTen[estimate] ? 1 : 0);
}

// A rounded value that a word holds, `whole` units of the last decimal,
// written straight into `out`: the division by a constant power of ten
// splits it, and no digit is copied twice. Most coordinates go this way.
template <std::uint32_t Decimals>
std::size_t write_word_value(std::uint64_t whole, bool negative, char separator, char* out) {
    constexpr std::uint64_t scale = kPowersOfTen[Decimals];
    std::size_t n = 0;
    if (negative && whole != 0) out[n++] = '-';
    const std::uint64_t integer = whole / scale;
    n += digit_count(integer);
    write_u64_before(out + n, integer);
    if constexpr (Decimals > 0) {
        out[n++] = separator;
        // Below 10^9: a 32-bit word holds it.
        auto fraction = static_cast<std::uint32_t>(whole - integer * scale);
        char* end = out + n + Decimals;
        for (std::uint32_t k = 0; k + 1 < Decimals; k += 2, fraction /= 100) {
            end -= 2;
            std::memcpy(end, digits::kDigitPairs + (fraction % 100) * 2, 2);
        }
        if constexpr (Decimals % 2 != 0) *--end = static_cast<char>('0' + fraction);
        n += Decimals;
    }
    return n;
}

using WordWriter = std::size_t (*)(std::uint64_t, bool, char, char*);

constexpr auto word_writers = []<std::uint32_t... D>(std::integer_sequence<std::uint32_t, D...>) {
    return std::array<WordWriter, sizeof...(D)>{&write_word_value<D>...};
}(std::make_integer_sequence<std::uint32_t, kMostFixedDecimals + 1>{});

std::size_t copy_word(std::string_view word, char* out) {
    std::copy(word.begin(), word.end(), out);
    return word.size();
}

}  // namespace

std::size_t format_fixed_decimals(double value, std::uint32_t decimals, char separator,
                                  std::span<char, kFixedDecimalsRoom> out) {
    return format_fixed_decimals_into(value, decimals, separator, out.data());
}

std::size_t format_fixed_decimals_into(double value, std::uint32_t decimals, char separator, char* out) {
    decimals = std::min(decimals, kMostFixedDecimals);
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0x7ff) {
        if (fraction != 0) return copy_word("NaN", out);
        return copy_word(negative ? "-Infinity" : "Infinity", out);
    }
    const std::uint64_t m = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int e = biased == 0 ? -1074 : biased - 1075;

    // |value| * 10^decimals = m * 5^decimals * 2^t, rounded to a whole number.
    const std::uint32_t five = powers_of_five[decimals];
    const int t = e + static_cast<int>(decimals);
    std::array<char, kFixedDecimalsRoom> digits;
    char* const end = digits.data() + digits.size();
    char* begin = end;
    bool zero = false;
    // The usual coordinate: the product fits a word and the cut lies within it.
    const bool small_product = m <= largest_factor[decimals];
    if (m == 0) {
        return word_writers[decimals](0, negative, separator, out);
    } else if (t < 0 && t > -64 && small_product) {
        const std::uint64_t product = m * five;
        const unsigned s = static_cast<unsigned>(-t);
        std::uint64_t whole = product >> s;
        const std::uint64_t rest = product & ((std::uint64_t{1} << s) - 1);
        const std::uint64_t half = std::uint64_t{1} << (s - 1);
        if (rest > half || (rest == half && (whole & 1u) != 0)) ++whole;
        return word_writers[decimals](whole, negative, separator, out);
    } else if (t >= 0 && t < 64 && small_product && ((m * five) >> (63 - t)) == 0) {
        // A whole number that a word still holds after the shift.
        return word_writers[decimals]((m * five) << t, negative, separator, out);
    } else if (t < 0 && -t > 80) {
        // m * 5^decimals < 2^74: less than half of one unit of the last decimal.
        zero = true;
        begin = write_u64_before(end, 0);
    } else {
        Natural whole{m, five};
        if (t >= 0) {
            whole.shift_left(static_cast<unsigned>(t));
        } else {
            whole.shift_right_rounded(static_cast<unsigned>(-t));
        }
        zero = whole.is_zero();
        begin = zero ? write_u64_before(end, 0) : whole.write_digits_before(end);
    }

    // At least one digit before the separator.
    while (static_cast<std::size_t>(end - begin) < decimals + 1) *--begin = '0';
    std::size_t n = 0;
    if (negative && !zero) out[n++] = '-';
    const std::size_t integer_digits = static_cast<std::size_t>(end - begin) - decimals;
    std::memcpy(out + n, begin, integer_digits);
    n += integer_digits;
    if (decimals > 0) {
        out[n++] = separator;
        std::memcpy(out + n, begin + integer_digits, decimals);
        n += decimals;
    }
    return n;
}

}  // namespace io
