// How the free-form scanner sees each byte.
#pragma once

#include <array>
#include <cstdint>

namespace io {

enum class ByteClass : std::uint8_t {
    other,     // never valid in a number
    blank,     // space, TAB
    cr,        // carriage return: a blank between values, an error inside a number
    lf,        // line feed: only ever a blank
    comma,
    slash,
    star,
    open,      // "("
    close,     // ")"
    quote,     // quotation mark or apostrophe
    digit,
    sign,
    point,
    exponent,  // D E Q, either case
    word,      // I N, either case: the start of INF, INFINITY, NAN
    logical,   // T F, either case
};

// What marks a number's decimals: the point, or in some tables a comma,
// which then is a number's point and no separator, while a point is no part
// of a number. Everything else reads alike under both.
enum class DecimalMark : std::uint8_t { point, comma };

constexpr char decimal_mark_byte(DecimalMark mark) { return mark == DecimalMark::point ? '.' : ','; }

constexpr std::array<ByteClass, 256> make_byte_classes(DecimalMark mark) {
    std::array<ByteClass, 256> table{};
    table[' '] = table['\t'] = ByteClass::blank;
    table['\r'] = ByteClass::cr;
    table['\n'] = ByteClass::lf;
    table['/'] = ByteClass::slash;
    table['*'] = ByteClass::star;
    table['('] = ByteClass::open;
    table[')'] = ByteClass::close;
    table['"'] = table['\''] = ByteClass::quote;
    for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = ByteClass::digit;
    table['+'] = table['-'] = ByteClass::sign;
    table[','] = mark == DecimalMark::point ? ByteClass::comma : ByteClass::point;
    table['.'] = mark == DecimalMark::point ? ByteClass::point : ByteClass::other;
    for (char c : {'D', 'E', 'Q', 'd', 'e', 'q'}) table[static_cast<unsigned char>(c)] = ByteClass::exponent;
    for (char c : {'I', 'N', 'i', 'n'}) table[static_cast<unsigned char>(c)] = ByteClass::word;
    for (char c : {'T', 'F', 't', 'f'}) table[static_cast<unsigned char>(c)] = ByteClass::logical;
    return table;
}

template <DecimalMark mark>
inline constexpr std::array<ByteClass, 256> kByteClasses = make_byte_classes(mark);

template <DecimalMark mark = DecimalMark::point>
constexpr ByteClass byte_class(char c) {
    return kByteClasses<mark>[static_cast<unsigned char>(c)];
}

// Space, TAB, ",", ")" and "/" end a number's text.
constexpr bool ends_number(ByteClass k) {
    return k == ByteClass::blank || k == ByteClass::comma || k == ByteClass::close || k == ByteClass::slash;
}

// Space, TAB, carriage return and line feed are passed over between values.
constexpr bool is_blank(char c) {
    const ByteClass k = byte_class(c);
    return k == ByteClass::blank || k == ByteClass::cr || k == ByteClass::lf;
}

}  // namespace io
