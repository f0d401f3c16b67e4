// Field descriptions and the texts of output fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "io/item_type.h"

namespace io {

enum class FieldKind : std::uint8_t { integer, real, string };

struct FieldSpec {
    FieldKind kind;
    std::uint32_t width;   // 0: minimal width (the string field always uses its value's length)
    std::uint32_t digits;  // real: digits after the point; integer: minimum digits (1)
};

// The only field descriptions the program writes with.
namespace field {
inline constexpr FieldSpec I3{FieldKind::integer, 3, 1};
inline constexpr FieldSpec I6{FieldKind::integer, 6, 1};
inline constexpr FieldSpec I1{FieldKind::integer, 1, 1};
inline constexpr FieldSpec I0{FieldKind::integer, 0, 1};
inline constexpr FieldSpec A{FieldKind::string, 0, 0};
inline constexpr FieldSpec F3_1{FieldKind::real, 3, 1};
inline constexpr FieldSpec F0_1{FieldKind::real, 0, 1};
}  // namespace field

// A value handed to a write statement, tagged with its item type.
struct ItemValue {
    ItemType type;
    std::int32_t integer = 0;
    float real = 0.0f;
    std::string_view text{};

    static constexpr ItemValue of(std::int32_t v) { return {ItemType::integer32, v, 0.0f, {}}; }
    static constexpr ItemValue of(float v) { return {ItemType::real32, 0, v, {}}; }
    static constexpr ItemValue of(std::string_view v) { return {ItemType::string, 0, 0.0f, v}; }
};

enum class FieldStatus : std::uint8_t { ok, overflow, type_mismatch };

struct FieldText {
    std::size_t length = 0;
    FieldStatus status = FieldStatus::ok;
};

// Scratch widths of minimal-width fields: sign and 10 digits of a 32-bit
// integer (with a spare column); sign, the 39 integer digits of the largest
// finite single-precision value and the point, plus d.
namespace field_scratch {
inline constexpr std::size_t integer = 12;
inline constexpr std::size_t kRealExtra = 41;

constexpr std::size_t real(std::uint32_t digits) {
    // Saturates where size_t is 32 bits; no buffer can be that large anyway.
    constexpr std::size_t most = std::numeric_limits<std::size_t>::max();
    const std::size_t d = digits;
    return d > most - kRealExtra ? most : d + kRealExtra;
}
}  // namespace field_scratch

// Room `format_field` may need for this field: its width, the string's length,
// or the scratch width of a minimal-width field. Inline: every write statement
// asks it.
constexpr std::size_t field_room(const FieldSpec& spec, const ItemValue& value) {
    switch (spec.kind) {
        case FieldKind::integer: return spec.width != 0 ? spec.width : field_scratch::integer;
        case FieldKind::real: return spec.width != 0 ? spec.width : field_scratch::real(spec.digits);
        case FieldKind::string: return value.text.size();
    }
    return 0;
}

// Writes the field's text into `out` (at least field_room bytes; a shorter
// `out` gets nothing and the status overflow). An integer or real field given
// a string, a string field given a number, or an integer field given a real
// report type_mismatch and write nothing.
FieldText format_field(const FieldSpec& spec, const ItemValue& value, std::span<char> out);

// Exactly `width` characters (width >= 1), right-justified; all '*' on overflow.
// These two write nothing and report overflow when `out` is shorter than `width`.
FieldStatus format_integer_text(std::int32_t value, std::uint32_t width, std::span<char> out);

// Exactly `width` characters (width >= 1) for the single-precision value with
// bit pattern `bits`, `digits` after the point; `minimal_scratch` marks the
// scratch field of a minimal-width field (no "0" before the point).
FieldStatus format_fixed_text(std::uint32_t bits, std::uint32_t width, std::uint32_t digits,
                              bool minimal_scratch, std::span<char> out);

}  // namespace io
