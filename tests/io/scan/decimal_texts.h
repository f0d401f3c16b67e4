// Texts of decimal numbers to check a conversion against its reference:
// random shapes, random doubles written out, and the exact points halfway
// between neighbouring doubles, where rounding is hardest, cut to a few
// lengths and nudged either side.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace decimal_texts {

// value = digits * 10^exponent, exactly.
struct ExactDecimal {
    std::string digits;
    int exponent;
};

// n * 2^j, which for j < 0 is n * 5^-j * 10^j: in limbs of nine digits.
inline ExactDecimal exact_decimal(std::uint64_t n, int j) {
    constexpr std::uint32_t kBase = 1000000000;
    std::vector<std::uint32_t> limbs;  // lowest first
    for (; n != 0; n /= kBase) limbs.push_back(static_cast<std::uint32_t>(n % kBase));
    for (int k = j < 0 ? -j : j; k > 0; k -= 13) {
        std::uint32_t factor = 1;
        for (int i = 0; i < std::min(k, 13); ++i) factor *= j < 0 ? 5 : 2;
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        for (; carry != 0; carry /= kBase) limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
    }
    std::string digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        char group[16];
        std::snprintf(group, sizeof group, "%09u", static_cast<unsigned>(limbs[i]));
        digits += group;
    }
    return {digits, std::min(j, 0)};
}

// Halfway between the double of bits u (positive, finite) and the next one up.
inline ExactDecimal midpoint(std::uint64_t u) {
    const int biased = static_cast<int>(u >> 52);
    std::uint64_t significand = u & ((std::uint64_t{1} << 52) - 1);
    int unit = -1074;
    if (biased > 0) {
        significand |= std::uint64_t{1} << 52;
        unit = biased - 1075;
    }
    return exact_decimal(2 * significand + 1, unit - 1);
}

// The first `count` digits in E form, `nudge` units (-1, 0, +1) added to the last.
inline std::string cut(const ExactDecimal& d, std::size_t count, int nudge) {
    std::string digits = d.digits.substr(0, count);
    const int exponent = d.exponent + static_cast<int>(d.digits.size() - digits.size());
    std::size_t i = digits.size();
    if (nudge > 0) {
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) digits.insert(digits.begin(), '1');
        else ++digits[i - 1];
    } else if (nudge < 0) {
        while (digits[i - 1] == '0') digits[--i] = '9';  // the leading digit is not 0
        --digits[i - 1];
    }
    return digits + "e" + std::to_string(exponent);
}

// One text of a random family.
inline std::string random_text(std::mt19937_64& random) {
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::uint64_t bits = random() >> 1;  // a positive pattern, infinities and NaNs among them
    switch (pick(0, 3)) {
    case 0: {
        // Digits, a point anywhere and an exponent, over the whole range.
        const int count = pick(0, 3) == 0 ? pick(1, 30) : pick(15, 20);
        std::string text = pick(0, 1) ? "-" : "";
        text.append(static_cast<std::size_t>(pick(0, 1) * pick(0, 3)), '0');
        for (int i = 0; i < count; ++i) text += static_cast<char>('0' + pick(i == 0 ? 1 : 0, 9));
        const int point = pick(-1, count);
        if (point >= 0) text.insert(text.size() - static_cast<std::size_t>(point), ".");
        // Half of them about the exact powers' limit, 10^22 either way.
        const int exponent = pick(0, 1) ? pick(-420, 330) : pick(-30, 30);
        const char letter = "eED "[pick(0, 3)];
        if (pick(0, 4) == 0) return text;
        if (letter != ' ') return text + letter + std::to_string(exponent);
        return text + (exponent < 0 ? "-" : "+") + std::to_string(std::abs(exponent));  // a bare sign
    }
    case 1: {
        // A double written with 1 to 27 digits.
        if (bits >= 0x7FF0000000000000u) return "1e309";
        char text[64];
        std::snprintf(text, sizeof text, "%.*e", pick(0, 26), std::bit_cast<double>(bits));
        return text;
    }
    default: {
        // A midpoint, mostly where one of at most 27 digits can be exact.
        const std::uint64_t u = pick(0, 1) ? (bits % (std::uint64_t{52} << 52)) + (std::uint64_t{1060} << 52)
                                           : bits % 0x7FF0000000000000u;
        const ExactDecimal m = midpoint(u);
        constexpr std::size_t lengths[] = {16, 17, 18, 19, 20, 26, 27, 28, 1000};
        return cut(m, lengths[pick(0, 8)], pick(-1, 1));
    }
    }
}

}  // namespace decimal_texts
