#include "io/format/field_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "io/format/fixed_decimals.h"
#include "io/format/float_digits.h"
#include "io/register_width.h"

namespace io {
namespace {

constexpr std::size_t kIntegerScratch = field_scratch::integer;

constexpr char kFillChar = ' ';
constexpr char kOverflowChar = '*';

struct Placed {
    FieldStatus status = FieldStatus::ok;
    std::size_t start = 0;  // the text is out[start, end); blanks are not written
    std::size_t end = 0;
};

Placed overflow(std::span<char> out, std::size_t width) {
    std::memset(out.data(), kOverflowChar, width);
    return {FieldStatus::overflow, 0, width};
}

// A minimal-width field keeps its text without the scratch field's blanks.
Placed move_to_front(const Placed& placed, std::span<char> out) {
    const std::size_t length = placed.end - placed.start;
    std::memmove(out.data(), out.data() + placed.start, length);
    return {placed.status, 0, length};
}

Placed place_right(std::string_view text, std::span<char> out, std::size_t width) {
    const std::size_t start = width - text.size();
    std::memcpy(out.data() + start, text.data(), text.size());
    return {FieldStatus::ok, start, width};
}

// Copies a short text with at most two overlapping loads and stores a
// side; the texts of a record are mostly a few bytes long, where a library
// call costs more than the copy.
inline void copy_short(char* to, const char* from, std::size_t n) {
    if (n >= 8) {
        if (n > 16) {
            std::memcpy(to, from, n);
            return;
        }
        std::uint64_t head, tail;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + n - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + n - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + n - 4, &tail, 4);
    } else if (n != 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

// An integer's text (sign and digits) ending at `end`, which has
// integer_length(value) bytes before it; returns where it begins.
inline char* put_integer(std::int32_t value, char* end) {
    const std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char* begin = digits::put_decimal(magnitude, end);
    if (value < 0) *--begin = '-';
    return begin;
}

// The length of an integer's text: its sign and at least one digit.
inline std::size_t integer_length(std::int32_t value) {
    const std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    return std::max<std::size_t>(digits::decimal_length(magnitude), 1) + (value < 0);
}

// The integer field's width most fields have: blanks from a constant row,
// then the text over their end.
constexpr std::size_t kShortIntegerWidth = 16;
constexpr char kBlankRow[kShortIntegerWidth + 1] = "                ";

FieldStatus place_short_integer(std::int32_t value, std::size_t width, std::span<char> out) {
    if (integer_length(value) > width) {
        std::memset(out.data(), kOverflowChar, width);
        return FieldStatus::overflow;
    }
    copy_short(out.data(), kBlankRow, width);
    put_integer(value, out.data() + width);
    return FieldStatus::ok;
}

Placed place_integer(std::int32_t value, std::size_t width, std::span<char> out) {
    char buf[kIntegerScratch];
    char* const end = buf + sizeof buf;
    const char* begin = put_integer(value, end);
    const auto length = static_cast<std::size_t>(end - begin);
    if (length > width) return overflow(out, width);
    return place_right({begin, length}, out, width);
}

Placed place_non_finite(std::uint32_t bits, std::size_t width, std::span<char> out) {
    // Not-a-number never shows its sign bit.
    if ((bits & digits::kFractionMask) != 0) return width >= 3 ? place_right("NaN", out, width) : overflow(out, width);
    const bool negative = (bits >> digits::kSignShift) != 0;
    const std::string_view full = negative ? "-Infinity" : "Infinity";
    const std::string_view shortened = negative ? "-Inf" : "Inf";
    if (full.size() <= width) return place_right(full, out, width);
    if (shortened.size() <= width) return place_right(shortened, out, width);
    return overflow(out, width);
}

// A real field's shape: `width` columns (the scratch width of a minimal
// field), `digits` after the point; `zero_allowed` puts a lone "0" before
// the point when there are no integer digits and a column is free;
// `at_front` starts the text in column 1 instead of right-justifying it.
struct RealLayout {
    std::size_t width;
    std::size_t digits;
    bool zero_allowed;
    bool at_front;
};

// The word of eight digits with its first `8 - keep` (leading zero) digits
// dropped. Keeping none (a zero whole part) keeps all eight instead: the
// caller's point goes over the first of them, and the rest lie past the
// text. So one shift below 64 serves.
std::uint64_t keep_last_digits(std::uint64_t eight, std::size_t keep) {
    const auto drop = static_cast<unsigned>(8 * (8 - keep)) & 63;
    if constexpr (std::endian::native == std::endian::little) return eight >> drop;
    return eight << drop;
}

// The eight digit bytes of a whole part of `count` digits (whole < 2^23, so
// count <= 7) with its own digits first; the rest lie past the text.
std::uint64_t front_digits(std::uint32_t whole, std::size_t count) {
    // Scaled up to eight digits the value's come first: a multiply, where
    // a 64-bit shift on a 32-bit target is a dozen instructions.
    if constexpr (!kWideRegisters) return digits::eight_digits(whole * digits::kPowersOfTen<std::uint32_t>[8 - count]);
    return keep_last_digits(digits::eight_digits(whole), count);
}

// The minimal field with one digit after the point (no "0" before it), the
// one the program writes every coordinate with, for a value with bits below
// the point and at most 60 of them: one exact times-ten step gives the digit
// and the remainder that rounds it. The text is written at the front with
// overlapping stores (a later store overwrites what an earlier one put too
// far), so that neither the digit count nor the sign needs a branch: both
// are as good as random, and branches on them would mostly mispredict.
constexpr std::size_t kFrontRoom = 24;

bool place_tenths_front(std::uint32_t bits, std::span<char> out, std::size_t& length) {
    const auto [m, e] = digits::decode(bits);
    const int q = -e;
    if (q < 1 || q > digits::NarrowFraction::kBitsMax || out.size() < kFrontRoom) return false;
    const auto [whole, digit] = digits::round_tenths(m, q);
    const std::size_t whole_digits = digits::decimal_length(whole);
    const bool negative = ((bits >> digits::kSignShift) != 0) & ((whole | digit) != 0);
    char* p = out.data();
    *p = '-';
    p += negative;
    const std::uint64_t word = front_digits(static_cast<std::uint32_t>(whole), whole_digits);
    std::memcpy(p, &word, 8);
    p += whole_digits;
    p[0] = '.';
    p[1] = static_cast<char>('0' + digit);
    length = negative + whole_digits + 2;
    return true;
}

// Any value and any digits: the fraction digits go straight to the field's
// end, so the text is right-justified first and moved to the front if asked.
Placed place_digits(std::uint32_t bits, const RealLayout& layout, std::span<char> out) {
    if (layout.digits >= layout.width) return overflow(out, layout.width);  // point and fraction too wide
    const std::size_t point = layout.width - layout.digits - 1;
    const auto r = digits::round_fixed(bits, out.subspan(point + 1, layout.digits));
    // A zero result is always positive.
    const bool negative = (bits >> digits::kSignShift) != 0 && !r.is_zero;
    std::size_t length = negative + r.integer_length + 1 + layout.digits;
    if (length > layout.width) return overflow(out, layout.width);
    const bool zero = r.integer_length == 0 && layout.zero_allowed && length < layout.width;
    length += zero;
    char* p = out.data() + point;
    *p = '.';
    p -= r.integer_length;
    std::memcpy(p, r.integer, r.integer_length);
    if (zero) *--p = '0';
    if (negative) *--p = '-';
    const Placed placed{FieldStatus::ok, layout.width - length, layout.width};
    return layout.at_front ? move_to_front(placed, out) : placed;
}

Placed place_fixed(std::uint32_t bits, const RealLayout& layout, std::span<char> out) {
    if (((bits >> digits::kFractionBits) & digits::kExponentMask) == digits::kExponentMask) {
        const Placed placed = place_non_finite(bits, layout.width, out);
        return layout.at_front ? move_to_front(placed, out) : placed;
    }
    return place_digits(bits, layout, out);
}

FieldText text_of(const Placed& placed) { return {placed.end - placed.start, placed.status}; }

FieldStatus fill_left(const Placed& placed, std::span<char> out) {
    std::memset(out.data(), kFillChar, placed.start);
    return placed.status;
}

bool accepts(FieldKind kind, ItemType type) {
    switch (kind) {
        case FieldKind::integer: return type == ItemType::integer32;
        case FieldKind::real: return type == ItemType::real32 || type == ItemType::integer32;
        case FieldKind::string: return type == ItemType::string;
        case FieldKind::decimals: return type == ItemType::real64;
    }
    return false;
}

}  // namespace

FieldText format_field(const FieldSpec& spec, const ItemValue& value, std::span<char> out) {
    if (!accepts(spec.kind, value.type)) return {0, FieldStatus::type_mismatch};
    const std::size_t room = field_room(spec, value);
    if (out.size() < room) return {0, FieldStatus::overflow};

    switch (spec.kind) {
        case FieldKind::string:
            copy_short(out.data(), value.text.data(), room);  // an empty view may hold no pointer: copies nothing
            return {room, FieldStatus::ok};
        case FieldKind::integer:
            if (spec.width != 0) {
                if (spec.width <= kShortIntegerWidth) return {room, place_short_integer(value.integer, room, out)};
                return {room, format_integer_text(value.integer, spec.width, out)};
            }
            {
                // A minimal field's text goes straight to the front: digits
                // stored and then read back as words would stall on the stores.
                const std::size_t length = integer_length(value.integer);
                put_integer(value.integer, out.data() + length);
                return {length, FieldStatus::ok};
            }
        case FieldKind::decimals: return {format_fixed_decimals_into(value.wide, spec.digits, '.', out.data()), FieldStatus::ok};
        case FieldKind::real: break;
    }

    // An integer item lends its bit pattern to the real field unchanged.
    const std::uint32_t bits = value.type == ItemType::real32 ? std::bit_cast<std::uint32_t>(value.real)
                                                              : static_cast<std::uint32_t>(value.integer);
    if (spec.width != 0) return {room, format_fixed_text(bits, spec.width, spec.digits, false, out)};
    if (std::size_t length; spec.digits == 1 && place_tenths_front(bits, out, length)) return {length, FieldStatus::ok};
    // Every value fits the scratch field, so nothing overflows here; with
    // digits after the point a minimal field never puts "0" before it.
    return text_of(place_fixed(bits, {room, spec.digits, spec.digits == 0, true}, out));
}

FieldStatus format_integer_text(std::int32_t value, std::uint32_t width, std::span<char> out) {
    if (out.size() < width) return FieldStatus::overflow;  // nothing written
    if (width <= kShortIntegerWidth) return place_short_integer(value, width, out);
    return fill_left(place_integer(value, width, out), out);
}

FieldStatus format_fixed_text(std::uint32_t bits, std::uint32_t width, std::uint32_t digits,
                              bool minimal_scratch, std::span<char> out) {
    if (out.size() < width) return FieldStatus::overflow;  // nothing written
    return fill_left(place_fixed(bits, {width, digits, !minimal_scratch || digits == 0, false}, out), out);
}

}  // namespace io
