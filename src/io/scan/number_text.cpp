#include "io/scan/number_text.h"

#include <algorithm>

namespace io::detail {
namespace {

constexpr int kExponentDigitsMax = 6;

constexpr bool is_letter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
constexpr bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// "INF" or "INFINITY" in any case; "NAN", optionally followed by a part of
// letters, digits and underscores in parentheses.
NumberText::Form classify_word(std::string_view word) {
    if (const std::size_t n = agreeing_length(word, "infinity"); n == word.size() && (n == 3 || n == 8)) {
        return NumberText::Form::infinity;
    }
    if (agreeing_length(word, "nan") != 3) return NumberText::Form::unknown_word;
    const std::string_view part = word.substr(3);
    if (part.empty()) return NumberText::Form::nan;
    if (part.size() < 2 || part.front() != '(' || part.back() != ')') return NumberText::Form::unknown_word;
    const bool plain = std::all_of(part.begin() + 1, part.end() - 1,
                                   [](char c) { return is_letter(c) || is_digit(c) || c == '_'; });
    return plain ? NumberText::Form::nan : NumberText::Form::unknown_word;
}

}  // namespace

// A word runs on, whatever its bytes, to the next byte that ends a number;
// a NAN word's "(" opens a part that runs to the next ")" in the record.
template <DecimalMark mark>
NumberScan recognise_word(const char* begin, const char* word, const char* end, NumberText& number) {
    const std::string_view record(begin, static_cast<std::size_t>(end - begin));
    const bool nan_word = (*word | 0x20) == 'n';
    std::size_t i = static_cast<std::size_t>(word - begin);
    const std::size_t first = i;
    while (i < record.size() && !ends_number(byte_class<mark>(record[i]))) {
        // Without its ")" the part runs to the record end.
        i = record[i] == '(' && nan_word ? std::min(nan_part_end(record, i), record.size()) : i + 1;
    }
    number.form = classify_word(record.substr(first, i - first));
    return {i, NumberEnd::text_end};
}

// More significant digits than a word holds: the first 19 go to `digits`,
// the next 8 to `more_digits`, and the rest only count.
template <DecimalMark mark>
void read_long_significand(const char* p, const char* end, NumberText& number) {
    number.digits = 0;
    number.more_digits = 0;
    number.more_count = 0;
    int kept = 0;
    for (; p < end && kept < NumberText::kKeptDigitsMax; ++p) {
        if (*p == decimal_mark_byte(mark) || (kept == 0 && *p == '0')) continue;
        const auto digit = static_cast<unsigned>(*p - '0');
        if (kept < NumberText::kHeadDigitsMax) {
            number.digits = number.digits * 10 + digit;
        } else {
            number.more_digits = number.more_digits * 10 + digit;
            ++number.more_count;
        }
        ++kept;
    }
}

// More significant digits than the first reading kept: on a 32-bit target
// up to 19 are read again in 64 bits, the way a 64-bit target reads them at
// once; beyond 19, digit by digit as the long significand they are.
template <DecimalMark mark>
void read_significand_again(const char* p, const char* end, NumberText& number) {
    if (number.significant > NumberText::kHeadDigitsMax) return read_long_significand<mark>(p, end, number);
    // Leading zeros add nothing to the digits.
    std::uint64_t digits = 0;
    p = read_digit_run(p, end, digits);
    if (p < end && *p == decimal_mark_byte(mark)) read_digit_run(p + 1, end, digits);
    number.digits = digits;
}

// What may follow the significand: an exponent (a letter with an optional
// sign, or a bare sign, then digits), and bytes the conversion will refuse.
// The scanner's rules hold over the whole text: signs need a digit between
// them, one point, one exponent letter, and that only after a digit.
template <DecimalMark mark>
NumberScan recognise_exponent(const char* begin, const char* p, const char* end, NumberText& number,
                              bool digit_seen, bool sign_open) {
    enum class Stage : std::uint8_t { after_significand, after_letter, after_sign, in_exponent, leftover };
    Stage stage = Stage::after_significand;
    bool point = number.point;
    bool letter = false;
    bool negative_exponent = false;
    int exponent_digits = 0;  // significant ones
    std::int32_t exponent = 0;
    const auto malformed = [&] { return NumberScan{static_cast<std::size_t>(p - begin), NumberEnd::malformed}; };
    NumberEnd ending = NumberEnd::text_end;
    for (; p < end; ++p) {
        const char c = *p;
        const ByteClass k = byte_class<mark>(c);
        if (ends_number(k)) break;
        if (k == ByteClass::star) {
            ending = NumberEnd::star;
            break;
        }
        switch (k) {
        case ByteClass::digit:
            digit_seen = true;
            sign_open = false;
            if (stage == Stage::leftover) break;
            stage = Stage::in_exponent;
            if (exponent_digits > 0 || c != '0') {
                if (++exponent_digits <= kExponentDigitsMax) exponent = exponent * 10 + (c - '0');
            }
            break;
        case ByteClass::sign:
            if (sign_open) return malformed();
            sign_open = true;
            if (stage == Stage::after_significand || stage == Stage::after_letter) {
                stage = Stage::after_sign;
                negative_exponent = c == '-';
                number.exponent_part = true;
            } else {
                stage = Stage::leftover;
            }
            break;
        case ByteClass::point:
            if (point) return malformed();
            point = true;
            stage = Stage::leftover;
            break;
        case ByteClass::exponent:
            if (letter || !digit_seen || sign_open) return malformed();
            letter = true;
            if (stage == Stage::after_significand) {
                stage = Stage::after_letter;
                number.exponent_letter = true;
                number.exponent_part = true;
            } else {
                stage = Stage::leftover;
            }
            break;
        default:
            return malformed();
        }
    }
    // Every sign needs a digit after it, and the text needs a digit at all.
    if (sign_open || !digit_seen) return malformed();
    number.leftover = stage == Stage::leftover;
    if (exponent_digits > kExponentDigitsMax) number.exponent_range = negative_exponent ? -1 : 1;
    number.exponent = negative_exponent ? -exponent : exponent;
    return {static_cast<std::size_t>(p - begin), ending};
}

template NumberScan recognise_word<DecimalMark::point>(const char*, const char*, const char*, NumberText&);
template NumberScan recognise_word<DecimalMark::comma>(const char*, const char*, const char*, NumberText&);
template void read_significand_again<DecimalMark::point>(const char*, const char*, NumberText&);
template void read_significand_again<DecimalMark::comma>(const char*, const char*, NumberText&);
template NumberScan recognise_exponent<DecimalMark::point>(const char*, const char*, const char*, NumberText&, bool, bool);
template NumberScan recognise_exponent<DecimalMark::comma>(const char*, const char*, const char*, NumberText&, bool, bool);

}  // namespace io::detail
