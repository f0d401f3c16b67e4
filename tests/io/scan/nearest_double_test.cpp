#include "io/scan/nearest_double.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>

#include "io/scan/wide_product.h"

namespace io {
namespace {

// The library's nearest double to w * 10^q as bits; infinity's on overflow.
std::uint64_t library_nearest(std::uint64_t w, int q) {
    const std::string text = std::to_string(w) + "e" + std::to_string(q);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) return q > 0 ? kInfinityBits : 0;
    return std::bit_cast<std::uint64_t>(value);
}

// The exact way finds the nearest double from any candidate a few units
// off, across ties, binades, the subnormal range and the overflow threshold.
TEST(NearestDouble, ExactWayStepsFromAnyNearbyCandidate) {
    const struct {
        std::uint64_t w;
        int q;
    } cases[] = {
        {9007199254740993, 0},  {9007199254740995, 0},   {45035996273704965, -1}, {1, 0},
        {1, 23},                {3, -1},                 {17976931348623157, 292}, {17976931348623158, 292},
        {17976931348623159, 292}, {22250738585072014, -324}, {22250738585072011, -324}, {49406564584124654, -340},
        {24703282292062328, -340}, {24703282292062327, -340}, {9999999999999999999u, -343}, {18446744073709551615u, 0},
    };
    for (const auto& c : cases) {
        const std::uint64_t expected = library_nearest(c.w, c.q);
        for (int offset = -2; offset <= 2; ++offset) {
            const std::uint64_t candidate = std::clamp<std::int64_t>(static_cast<std::int64_t>(expected) + offset, 0,
                                                                      static_cast<std::int64_t>(kInfinityBits));
            EXPECT_EQ(exact_nearest_double(BigInteger(c.w), c.q, candidate), expected) << c.w << "e" << c.q << " from " << offset;
        }
    }
}

// An exact tie is never taken as certain by the product: it must go the exact way.
TEST(NearestDouble, ProductLeavesTiesUndecided) {
    EXPECT_FALSE(estimate_nearest_double(9007199254740993, 0).certain);
    EXPECT_FALSE(estimate_nearest_double(45035996273704965, -1).certain);
    EXPECT_TRUE(estimate_nearest_double(9007199254740992, 0).certain);
}

// The 32-bit target's product by halves against shift and add.
TEST(WideProduct, HalvesAgreeWithShiftAndAdd) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t a = i < 4 ? ~std::uint64_t{0} >> i : random() >> (random() % 64);
        const std::uint64_t b = i < 4 ? ~std::uint64_t{0} : random() >> (random() % 64);
        WideWord sum{0, 0};
        for (int bit = 0; bit < 64; ++bit) {
            if (((b >> bit) & 1) == 0) continue;
            const std::uint64_t low = bit == 0 ? a : a << bit;
            const std::uint64_t high = bit == 0 ? 0 : a >> (64 - bit);
            sum.low += low;
            sum.high += high + (sum.low < low ? 1 : 0);
        }
        const WideWord product = wide_product_by_halves(a, b);
        ASSERT_TRUE(product.high == sum.high && product.low == sum.low) << a << " * " << b;
    }
}

}  // namespace
}  // namespace io
