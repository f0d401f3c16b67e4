// An independent reference for the F0.1 and F3.1 texts: the standard
// library's exact fixed-point conversion (round half to even on the exact
// value), bent to the field rules.
#pragma once

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace reference {

// The F0.1 text of the single-precision value with bit pattern `bits`.
inline std::string minimal_one_decimal(std::uint32_t bits) {
    const float v = std::bit_cast<float>(bits);
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";

    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
    std::string s(buf, result.ptr);
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);

    // Only 37 significant digits; beyond them every position reads "0".
    // Such values are integers of 38 or 39 digits, none of them a tie.
    if (const auto point = s.find('.'); point > 37) {
        const bool up = s[37] >= '5';
        for (std::size_t i = 37; i < point; ++i) s[i] = '0';
        for (std::size_t i = 37; up && i-- > 0;) {
            if (s[i] != '9') {
                ++s[i];
                break;
            }
            s[i] = '0';
            if (i == 0) s.insert(0, 1, '1');
        }
    }
    if (s.find_first_not_of("0.") == std::string::npos) negative = false;
    if (s.starts_with("0.")) s.erase(0, 1);
    return (negative ? "-" : "") + s;
}

// The F3.1 text of the same value, given its F0.1 text.
inline std::string width3_one_decimal(std::uint32_t bits, std::string s) {
    const float v = std::bit_cast<float>(bits);
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "***" : "Inf";
    const bool negative = s[0] == '-';
    if (s[negative] == '.' && s.size() < 3) s.insert(negative, 1, '0');
    if (s.size() > 3) return "***";
    return std::string(3 - s.size(), ' ') + s;
}

inline std::string width3_one_decimal(std::uint32_t bits) {
    return width3_one_decimal(bits, minimal_one_decimal(bits));
}

}  // namespace reference
