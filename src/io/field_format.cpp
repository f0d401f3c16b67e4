#include "io/field_format.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "io/float_digits.h"

namespace io {
namespace {

// Scratch widths of minimal-width fields: sign and 10 digits of a 32-bit
// integer (with a spare column); sign, the 39 integer digits of the largest
// finite single-precision value and the point, plus d.
constexpr std::size_t integer_scratch = 12;
constexpr std::size_t real_scratch_extra = 41;

constexpr char fill_char = ' ';
constexpr char overflow_char = '*';

struct Placed {
    FieldStatus status = FieldStatus::ok;
    std::size_t start = 0;  // the text is out[start, width); blanks are not written
};

Placed overflow(std::span<char> out, std::size_t width) {
    std::memset(out.data(), overflow_char, width);
    return {FieldStatus::overflow, 0};
}

Placed place_right(std::string_view text, std::span<char> out, std::size_t width) {
    const std::size_t start = width - text.size();
    std::memcpy(out.data() + start, text.data(), text.size());
    return {FieldStatus::ok, start};
}

Placed place_integer(std::int32_t value, std::size_t width, std::span<char> out) {
    const std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char buf[integer_scratch];
    char* const end = buf + sizeof buf;
    char* begin = digits::put_decimal(magnitude, end);
    if (value < 0) *--begin = '-';
    const auto length = static_cast<std::size_t>(end - begin);
    if (length > width) return overflow(out, width);
    return place_right({begin, length}, out, width);
}

Placed place_non_finite(std::uint32_t bits, std::size_t width, std::span<char> out) {
    // Not-a-number never shows its sign bit.
    if ((bits & 0x7fffffu) != 0) return width >= 3 ? place_right("NaN", out, width) : overflow(out, width);
    const bool negative = (bits >> 31) != 0;
    const std::string_view full = negative ? "-Infinity" : "Infinity";
    const std::string_view shortened = negative ? "-Inf" : "Inf";
    if (full.size() <= width) return place_right(full, out, width);
    if (shortened.size() <= width) return place_right(shortened, out, width);
    return overflow(out, width);
}

// Sign, optional "0", integer digits, point and `digits` fraction digits,
// right-justified in out[0, width). `zero_allowed`: a lone "0" goes before
// the point when there are no integer digits and a column is free.
Placed place_fixed(std::uint32_t bits, std::size_t width, std::size_t digits, bool zero_allowed,
                   std::span<char> out) {
    if (((bits >> 23) & 0xffu) == 0xffu) return place_non_finite(bits, width, out);
    if (digits >= width) return overflow(out, width);  // the point and the fraction alone are too wide

    const auto r = digits::round_fixed(bits, out.subspan(width - digits, digits));
    const bool negative = (bits >> 31) != 0 && !r.is_zero;
    std::size_t length = negative + r.integer_length + 1 + digits;
    if (length > width) return overflow(out, width);

    std::size_t pos = width - digits - 1;
    out[pos] = '.';
    pos -= r.integer_length;
    std::memcpy(out.data() + pos, r.integer, r.integer_length);
    if (r.integer_length == 0 && zero_allowed && length < width) out[--pos] = '0';
    if (negative) out[--pos] = '-';
    return {FieldStatus::ok, pos};
}

// A minimal-width field: the text without the scratch field's leading blanks.
FieldText drop_leading_blanks(const Placed& placed, std::size_t scratch, std::span<char> out) {
    const std::size_t length = scratch - placed.start;
    std::memmove(out.data(), out.data() + placed.start, length);
    return {length, placed.status};
}

FieldStatus fill_left(const Placed& placed, std::span<char> out) {
    std::memset(out.data(), fill_char, placed.start);
    return placed.status;
}

std::size_t real_scratch(std::uint32_t digits) {
    // Saturates where size_t is 32 bits; no buffer can be that large anyway.
    constexpr std::size_t most = std::numeric_limits<std::size_t>::max();
    return digits > most - real_scratch_extra ? most : std::size_t{digits} + real_scratch_extra;
}

bool accepts(FieldKind kind, ItemType type) {
    switch (kind) {
        case FieldKind::integer: return type == ItemType::integer32;
        case FieldKind::real: return type == ItemType::real32 || type == ItemType::integer32;
        case FieldKind::string: return type == ItemType::string;
    }
    return false;
}

}  // namespace

std::size_t field_room(const FieldSpec& spec, const ItemValue& value) {
    switch (spec.kind) {
        case FieldKind::integer: return spec.width != 0 ? spec.width : integer_scratch;
        case FieldKind::real: return spec.width != 0 ? spec.width : real_scratch(spec.digits);
        case FieldKind::string: return value.text.size();
    }
    return 0;
}

FieldText format_field(const FieldSpec& spec, const ItemValue& value, std::span<char> out) {
    if (!accepts(spec.kind, value.type)) return {0, FieldStatus::type_mismatch};
    const std::size_t room = field_room(spec, value);
    if (out.size() < room) return {0, FieldStatus::overflow};

    switch (spec.kind) {
        case FieldKind::string:
            std::memcpy(out.data(), value.text.data(), room);
            return {room, FieldStatus::ok};
        case FieldKind::integer:
            if (spec.width != 0) return {room, format_integer_text(value.integer, spec.width, out)};
            return drop_leading_blanks(place_integer(value.integer, room, out), room, out);
        case FieldKind::real: break;
    }

    // An integer item lends its bit pattern to the real field unchanged.
    const std::uint32_t bits = value.type == ItemType::real32 ? std::bit_cast<std::uint32_t>(value.real)
                                                              : static_cast<std::uint32_t>(value.integer);
    if (spec.width != 0) return {room, format_fixed_text(bits, spec.width, spec.digits, false, out)};
    // Every value fits the scratch field, so nothing overflows here; with
    // digits after the point a minimal field never puts "0" before it.
    return drop_leading_blanks(place_fixed(bits, room, spec.digits, spec.digits == 0, out), room, out);
}

FieldStatus format_integer_text(std::int32_t value, std::uint32_t width, std::span<char> out) {
    if (out.size() < width) return FieldStatus::overflow;  // nothing written
    return fill_left(place_integer(value, width, out), out);
}

FieldStatus format_fixed_text(std::uint32_t bits, std::uint32_t width, std::uint32_t digits,
                              bool minimal_scratch, std::span<char> out) {
    if (out.size() < width) return FieldStatus::overflow;  // nothing written
    return fill_left(place_fixed(bits, width, digits, !minimal_scratch || digits == 0, out), out);
}

}  // namespace io
