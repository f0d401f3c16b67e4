// Unsigned integers of a fixed capacity, for the few decimal conversions a
// 128-bit product cannot decide, and for the table of powers of five that
// product starts from: constexpr, so the same code builds that table at
// compile time. Nothing allocates.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace io {

class BigInteger {
public:
    // The largest comparison the conversion makes is under 900 bits: 27
    // digits and a power of five of at most 350, or the same digits shifted
    // to the subnormal range. The table's scaled reciprocals take 961.
    static constexpr int kLimbs = 40;

    constexpr BigInteger() = default;
    constexpr explicit BigInteger(std::uint64_t value) {
        limbs_[0] = static_cast<std::uint32_t>(value);
        limbs_[1] = static_cast<std::uint32_t>(value >> 32);
        size_ = limbs_[1] != 0 ? 2 : limbs_[0] != 0 ? 1 : 0;
    }

    constexpr void multiply(std::uint32_t factor) {
        std::uint32_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
            limbs_[i] = static_cast<std::uint32_t>(product);
            carry = static_cast<std::uint32_t>(product >> 32);
        }
        if (carry != 0) limbs_[size_++] = carry;
    }

    constexpr void add(std::uint32_t addend) {
        for (int i = 0; addend != 0; ++i) {
            if (i == size_) limbs_[size_++] = 0;
            const std::uint64_t sum = std::uint64_t{limbs_[i]} + addend;
            limbs_[i] = static_cast<std::uint32_t>(sum);
            addend = static_cast<std::uint32_t>(sum >> 32);
        }
    }

    // Divides, rounding down; the remainder is dropped.
    constexpr void divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (int i = size_ - 1; i >= 0; --i) {
            const std::uint64_t part = (remainder << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(part / divisor);
            remainder = part % divisor;
        }
        trim();
    }

    constexpr void multiply_power_of_five(int exponent) {
        constexpr std::uint32_t kFiveToThe13 = 1220703125;  // the largest power of five in 32 bits
        for (; exponent >= 13; exponent -= 13) multiply(kFiveToThe13);
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent) rest *= 5;
        multiply(rest);
    }

    constexpr void shift_left(int bits) {
        if (size_ == 0) return;
        const int limbs = bits / 32, shift = bits % 32;
        if (shift != 0) {
            limbs_[size_] = 0;
            for (int i = size_; i > 0; --i) limbs_[i] = (limbs_[i] << shift) | (limbs_[i - 1] >> (32 - shift));
            limbs_[0] <<= shift;
            if (limbs_[size_] != 0) ++size_;
        }
        if (limbs != 0) {
            for (int i = size_ - 1; i >= 0; --i) limbs_[i + limbs] = limbs_[i];
            for (int i = 0; i < limbs; ++i) limbs_[i] = 0;
            size_ += limbs;
        }
    }

    constexpr int bit_length() const { return size_ == 0 ? 0 : 32 * size_ - std::countl_zero(limbs_[size_ - 1]); }

    // Bits low ... low + 63, those below bit 0 as zeros.
    constexpr std::uint64_t bits_from(int low) const {
        return (std::uint64_t{bits32_from(low + 32)} << 32) | bits32_from(low);
    }

    friend constexpr int compare(const BigInteger& a, const BigInteger& b) {
        if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
        for (int i = a.size_ - 1; i >= 0; --i) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

private:
    constexpr void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) --size_;
    }
    constexpr std::uint32_t limb(int i) const { return i >= 0 && i < size_ ? limbs_[i] : 0; }
    constexpr std::uint32_t bits32_from(int low) const {
        const int i = low >= 0 ? low / 32 : -((31 - low) / 32);  // rounded down
        const int shift = low - 32 * i;
        const std::uint64_t pair = (std::uint64_t{limb(i + 1)} << 32) | limb(i);
        return static_cast<std::uint32_t>(pair >> shift);
    }

    std::array<std::uint32_t, kLimbs> limbs_{};  // lowest first
    int size_ = 0;                               // limbs in use, the top one non-zero
};

}  // namespace io
