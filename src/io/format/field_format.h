// Field descriptions and the texts of output fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

#include "io/item_type.h"

namespace io {

// `decimals`: a double-precision value with exactly `digits` decimals
// (at most kMostFixedDecimals), minimal width, rounded half to even from the
// exact binary value.
enum class FieldKind : std::uint8_t { integer, real, string, decimals };

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
constexpr FieldSpec decimals(std::uint32_t digits) { return {FieldKind::decimals, 0, digits}; }
}  // namespace field

// A value handed to a write statement, tagged with its item type.
struct ItemValue {
    ItemType type;
    std::int32_t integer = 0;
    float real = 0.0f;
    std::string_view text{};
    double wide = 0.0;

    static constexpr ItemValue of(std::int32_t v) { return {ItemType::integer32, v, 0.0f, {}}; }
    static constexpr ItemValue of(float v) { return {ItemType::real32, 0, v, {}}; }
    static constexpr ItemValue of(std::string_view v) { return {ItemType::string, 0, 0.0f, v}; }
    static constexpr ItemValue of(double v) { return {ItemType::real64, 0, 0.0f, {}, v}; }
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
// A decimals field: the sign, 16 integer digits (all a value below 10^15
// needs once rounded), the point and nine decimals; any larger value asks
// for the room of the largest double.
inline constexpr std::size_t kDecimalsUsual = 1 + 16 + 1 + 9;
inline constexpr std::size_t kDecimalsMost = 1 + 309 + 1 + 9;
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
        case FieldKind::decimals:
            return value.wide < 1e15 && value.wide > -1e15 ? field_scratch::kDecimalsUsual
                                                            : field_scratch::kDecimalsMost;
    }
    return 0;
}

// Whether a field's room depends on its value (a string's length, a decimals
// field's magnitude), so that a plan asks each value for it.
constexpr bool room_varies(FieldKind kind) { return kind == FieldKind::string || kind == FieldKind::decimals; }

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
