// The one recogniser of number texts: it finds where a number's text ends,
// checks it against the scanner's rules and says what the text holds, in
// one pass. The conversions work from what it found, never from the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/scan/byte_class.h"
#include "io/scan/digit_run.h"

namespace io {

// What a number's text says. A text that passes the scanner's rules may still
// not convert: an unknown word, or bytes left after a complete number.
struct NumberText {
    enum class Form : std::uint8_t { decimal, infinity, nan, unknown_word };

    // Digits past the 27th significant one only move the point.
    static constexpr int kKeptDigitsMax = 27;
    static constexpr int kHeadDigitsMax = 19;  // as many as a 64-bit word holds
    // As many as the first reading keeps: a register's worth, 19 digits in
    // 64 bits or 9 in 32, where the 64-bit multiply of every run costs a
    // pair of instructions and more. Longer significands are read again.
    static constexpr int kRegisterDigitsMax = kWideRegisters ? kHeadDigitsMax : 9;

    std::uint64_t digits = 0;       // the first (up to 19) significant digits
    // Counts of the record's bytes, so a register's width holds them.
    std::ptrdiff_t significant = 0; // S: significant digits, kept or not
    std::ptrdiff_t fraction = 0;    // F: digits after the point
    std::int32_t exponent = 0;      // X, of at most six significant digits
    std::uint32_t more_digits = 0;  // significant digits 20 to 27
    std::uint8_t more_count = 0;    // how many of them there are
    Form form = Form::decimal;
    bool negative = false;
    bool plus = false;              // an explicit "+": a NaN keeps its sign bit clear
    bool point = false;
    bool exponent_letter = false;   // D, E or Q
    bool exponent_part = false;     // an exponent, after a letter or a bare sign
    bool leftover = false;          // bytes after a complete number: "1+2+3", "1E5.5"
    std::int8_t exponent_range = 0; // +1 / -1: more than six significant exponent digits

    // No "." and no exponent letter: digits with signs, or a word.
    bool integer_form() const { return !point && !exponent_letter; }
};

enum class NumberEnd : std::uint8_t {
    text_end,   // at a space, TAB, ",", ")", "/" or the record end
    star,       // at "*": the text is a repeat count
    malformed,  // a byte or a shape the rules forbid
};

struct NumberScan {
    std::size_t end;  // where the text ends (the byte that ended it)
    NumberEnd ending;
};

// How many leading bytes of `text` spell `lower_word`, in either case.
constexpr std::size_t agreeing_length(std::string_view text, std::string_view lower_word) {
    std::size_t n = 0;
    while (n < text.size() && n < lower_word.size() && (text[n] | 0x20) == lower_word[n]) ++n;
    return n;
}

// A NAN word's part runs from its "(" to the next ")" in the record: the
// position after that ")", or npos when the record has none.
constexpr std::size_t nan_part_end(std::string_view record, std::size_t open) {
    const std::size_t close = record.find(')', open + 1);
    return close == std::string_view::npos ? close : close + 1;
}

// Defined for both decimal marks in number_text.cpp.
namespace detail {
template <DecimalMark mark>
NumberScan recognise_word(const char* begin, const char* word, const char* end, NumberText& number);
template <DecimalMark mark>
void read_significand_again(const char* p, const char* end, NumberText& number);
template <DecimalMark mark>
NumberScan recognise_exponent(const char* begin, const char* p, const char* end, NumberText& number,
                              bool digit_seen, bool sign_open);
}  // namespace detail

// Recognises the number whose text begins at record[start]. The significand,
// which is all most numbers have, is read here, always inline: the call and
// the struct's trip through memory cost more than a short number's reading.
// The decimal mark is a template argument, so the scanner's, the point (the
// default), compiles as if there were no other.
template <DecimalMark mark = DecimalMark::point>
[[gnu::always_inline]] inline NumberScan recognise_number(std::string_view record, std::size_t start, NumberText& number) {
    constexpr char kMark = decimal_mark_byte(mark);
    const char* const begin = record.data();
    const char* const end = begin + record.size();
    const char* p = begin + start;
    number = NumberText{};

    const bool sign = p < end && (*p == '+' || *p == '-');
    number.negative = sign && *p == '-';
    number.plus = sign && *p == '+';
    p += sign;
    // INF, INFINITY, NAN: a letter only as the first byte or after the sign.
    if (p < end && byte_class(*p) == ByteClass::word) return detail::recognise_word<mark>(begin, p, end, number);

    // The significand: digits with at most one decimal mark. Leading zeros, before
    // or after the point, only move the point.
    const char* const lead = p;
    while (p < end && *p == '0') ++p;
    const char* run = p;
    RegisterWord digits = 0;
    p = read_digit_run(p, end, digits);
    std::ptrdiff_t significant = p - run;
    if (p < end && *p == kMark) {
        number.point = true;
        const char* const after_point = ++p;
        if (significant == 0) {
            while (p < end && *p == '0') ++p;
        }
        run = p;
        p = read_digit_run(p, end, digits);
        significant += p - run;
        number.fraction = p - after_point;
    }
    number.digits = digits;
    number.significant = significant;
    if (significant > NumberText::kRegisterDigitsMax) detail::read_significand_again<mark>(lead, p, number);

    const bool digit_seen = p - lead > static_cast<std::ptrdiff_t>(number.point);
    if (digit_seen && (p == end || ends_number(byte_class<mark>(*p)))) {
        return {static_cast<std::size_t>(p - begin), NumberEnd::text_end};
    }
    return detail::recognise_exponent<mark>(begin, p, end, number, digit_seen, sign && !digit_seen);
}

}  // namespace io
