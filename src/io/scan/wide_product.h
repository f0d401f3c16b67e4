// The full 128-bit product of two 64-bit words.
#pragma once

#include <cstdint>

namespace io {

struct WideWord {
    std::uint64_t high;
    std::uint64_t low;
};

// Of four 32-by-32-bit products, each one instruction on a 32-bit target,
// which has no wider multiply.
constexpr WideWord wide_product_by_halves(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a_low = static_cast<std::uint32_t>(a), a_high = a >> 32;
    const std::uint64_t b_low = static_cast<std::uint32_t>(b), b_high = b >> 32;
    const std::uint64_t low_low = a_low * b_low, low_high = a_low * b_high;
    const std::uint64_t high_low = a_high * b_low, high_high = a_high * b_high;
    // Below 3 * 2^32: the sum of the middle column cannot wrap.
    const std::uint64_t middle = (low_low >> 32) + static_cast<std::uint32_t>(low_high) + static_cast<std::uint32_t>(high_low);
    return {high_high + (low_high >> 32) + (high_low >> 32) + (middle >> 32),
            (middle << 32) | static_cast<std::uint32_t>(low_low)};
}

inline WideWord wide_product(std::uint64_t a, std::uint64_t b) {
#ifdef __SIZEOF_INT128__
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return wide_product_by_halves(a, b);
#endif
}

}  // namespace io
