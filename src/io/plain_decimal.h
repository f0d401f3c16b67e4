// The common number text, read and converted in one pass: an optional sign and
// digits with at most one point. Inline, as it is the scanner's hot path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/powers_of_ten.h"

namespace io {

struct PlainDecimal {
    std::uint64_t digits = 0;  // all digits as one integer (wraps beyond 19)
    int count = 0;             // digits read
    int fraction = 0;          // digits after the point
    bool negative = false;
    bool point = false;
    // With at most 15 digits the integer is exact in double arithmetic.
    bool exact() const { return count > 0 && count <= 15; }
};

// Reads a plain decimal from the start of the text; returns the bytes taken.
inline std::size_t readPlainDecimal(std::string_view text, PlainDecimal& plain) {
    // Locals, not the struct: stores through it would alias the text's bytes.
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    const auto digit_at = [](const char* q) { return static_cast<unsigned char>(*q - '0'); };
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    std::uint64_t digits = 0;
    const char* const first = p;
    for (; p < end && digit_at(p) < 10; ++p) digits = digits * 10 + digit_at(p);
    int count = static_cast<int>(p - first);
    int fraction = 0;
    const bool point = p < end && *p == '.';
    if (point) {
        const char* const after = ++p;
        for (; p < end && digit_at(p) < 10; ++p) digits = digits * 10 + digit_at(p);
        fraction = static_cast<int>(p - after);
        count += fraction;
    }
    plain = PlainDecimal{digits, count, fraction, negative, point};
    return static_cast<std::size_t>(p - begin);
}

// What the general conversion to single precision gives for an exact plain
// decimal: the exact integer times a correctly rounded power of ten, well
// inside the normal range, rounded once to single.
inline float plainDecimalToReal32(const PlainDecimal& plain) {
    if (plain.digits == 0) return plain.negative ? -0.0f : 0.0f;
    const auto single = static_cast<float>(static_cast<double>(plain.digits) * table_power_of_ten(-plain.fraction));
    return plain.negative ? -single : single;
}

}  // namespace io
