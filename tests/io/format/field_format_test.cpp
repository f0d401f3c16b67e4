#include "io/format/field_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "io/format/fixed_reference.h"

namespace {

using io::FieldSpec;
using io::FieldStatus;
using io::ItemValue;
namespace field = io::field;

constexpr FieldSpec real_field(std::uint32_t w, std::uint32_t d) { return {io::FieldKind::real, w, d}; }
constexpr ItemValue pattern(std::uint32_t bits) { return ItemValue::of(std::bit_cast<float>(bits)); }

struct Formatted {
    std::string text;
    FieldStatus status;
};

Formatted format(const FieldSpec& spec, const ItemValue& value) {
    std::vector<char> out(io::field_room(spec, value) + 1, '#');
    const auto r = io::format_field(spec, value, out);
    EXPECT_EQ(out[io::field_room(spec, value)], '#') << "wrote past its room";
    return {std::string(out.data(), r.length), r.status};
}

struct Case {
    FieldSpec spec;
    ItemValue value;
    const char* text;
    FieldStatus status = FieldStatus::ok;
};

constexpr auto overflow = FieldStatus::overflow;
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();

void check(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        const auto got = format(c.spec, c.value);
        EXPECT_EQ(got.text, c.text) << "w=" << c.spec.width << " d=" << c.spec.digits
                                    << " int=" << c.value.integer << " real=" << c.value.real;
        EXPECT_EQ(got.status, c.status) << "text " << c.text;
    }
}

TEST(FieldFormat, IntegerFields) {
    check({
        {field::I3, ItemValue::of(999), "999"},     {field::I3, ItemValue::of(1000), "***", overflow},
        {field::I3, ItemValue::of(-99), "-99"},     {field::I3, ItemValue::of(-100), "***", overflow},
        {field::I6, ItemValue::of(35), "    35"},   {field::I1, ItemValue::of(-1), "*", overflow},
        {field::I0, ItemValue::of(0), "0"},         {field::I0, ItemValue::of(int_min), "-2147483648"},
        {{io::FieldKind::integer, 10, 1}, ItemValue::of(int_min), "**********", overflow},
        {field::I0, ItemValue::of(-7), "-7"},       {field::I0, ItemValue::of(1000000), "1000000"},
        // Either side of the widest field built behind a row of blanks.
        {{io::FieldKind::integer, 16, 1}, ItemValue::of(int_min), "     -2147483648"},
        {{io::FieldKind::integer, 17, 1}, ItemValue::of(-5), "               -5"},
    });
}

TEST(FieldFormat, StringFieldsOfEveryCopyLength) {
    const std::string text = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (const std::size_t n : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 26}) {
        const std::string expected = text.substr(0, n);
        check({{field::A, ItemValue::of(std::string_view(expected)), expected.c_str()}});
    }
}

TEST(FieldFormat, IntegerItemUnderRealFieldKeepsItsBits) {
    check({
        {field::F3_1, ItemValue::of(1), "0.0"},           // smallest subnormal
        {field::F3_1, ItemValue::of(int_min), "0.0"},     // -0.0
        {field::F3_1, ItemValue::of(1065353216), "1.0"},  // 1.0
        {field::F3_1, ItemValue::of(-1), "NaN"},
    });
}

TEST(FieldFormat, FixedWidthRealFields) {
    check({
        {field::F3_1, ItemValue::of(0.5f), "0.5"},      {field::F3_1, ItemValue::of(-0.5f), "-.5"},
        {field::F3_1, ItemValue::of(9.94f), "9.9"},     {field::F3_1, ItemValue::of(9.99f), "***", overflow},
        {field::F3_1, ItemValue::of(-1.0f), "***", overflow},
        {field::F3_1, ItemValue::of(-0.04f), "0.0"},    {real_field(4, 1), ItemValue::of(-0.04f), " 0.0"},
        {real_field(2, 1), ItemValue::of(0.0f), ".0"},  {real_field(1, 1), ItemValue::of(0.0f), "*", overflow},
        {real_field(5, 1), ItemValue::of(99.96f), "100.0"},
        {real_field(1, 0), ItemValue::of(0.5f), "."},
    });
}

TEST(FieldFormat, InfinityAndNotANumber) {
    check({
        {field::F3_1, ItemValue::of(inf), "Inf"},         {real_field(8, 1), ItemValue::of(inf), "Infinity"},
        {field::F3_1, ItemValue::of(-inf), "***", overflow},
        {real_field(8, 1), ItemValue::of(-inf), "    -Inf"},
        {field::F3_1, ItemValue::of(nan), "NaN"},         {real_field(2, 1), ItemValue::of(nan), "**", overflow},
        {field::F0_1, ItemValue::of(-inf), "-Infinity"},  {field::F0_1, pattern(0xffc00001u), "NaN"},
    });
}

TEST(FieldFormat, MinimalRealFieldRoundsTheExactValueHalfToEven) {
    check({
        {field::F0_1, ItemValue::of(0.0f), ".0"},    {field::F0_1, ItemValue::of(-0.0f), ".0"},
        {field::F0_1, ItemValue::of(-0.5f), "-.5"},  {field::F0_1, ItemValue::of(1.0e-40f), ".0"},
        {field::F0_1, ItemValue::of(0.25f), ".2"},   {field::F0_1, ItemValue::of(0.75f), ".8"},
        {field::F0_1, ItemValue::of(-3.75f), "-3.8"},
        {field::F0_1, ItemValue::of(0.15f), ".2"},   {field::F0_1, ItemValue::of(0.35f), ".3"},
        {field::F0_1, ItemValue::of(9.95f), "9.9"},  {field::F0_1, ItemValue::of(9.96f), "10.0"},
        {field::F0_1, ItemValue::of(-0.05f), "-.1"}, {field::F0_1, ItemValue::of(-0.0499999f), ".0"},
        {{io::FieldKind::real, 0, 0}, ItemValue::of(2.5f), "2."},
    });
}

TEST(FieldFormat, LargeValuesAndTheThirtySevenDigitLimit) {
    check({
        {field::F0_1, ItemValue::of(16777217.0f), "16777216.0"},
        {field::F0_1, ItemValue::of(1.0e37f), "9999999933815812510711506376257961984.0"},
        {field::F0_1, ItemValue::of(1.0e38f), "99999996802856924650656260769173209090.0"},
        {field::F0_1, pattern(0xff7fffffu), "-340282346638528859811704183484516925400.0"},
        {real_field(41, 1), pattern(0xff7fffffu), std::string(41, '*').c_str(), overflow},
    });
}

TEST(FieldFormat, ManyDigitsAfterThePoint) {
    const std::string tiny = "." + std::string(44, '0') + "1401298464324817070923729583289916131" +
                             std::string(255 - 44 - 37, '0');
    check({
        {{io::FieldKind::real, 0, 60}, ItemValue::of(0.1f),
         ".100000001490116119384765625000000000000000000000000000000000"},
        {{io::FieldKind::real, 0, 255}, pattern(1), tiny.c_str()},
        // 38 significant digits ending in 5: the 37th goes to even.
        {{io::FieldKind::real, 0, 50}, pattern(0x358637bfu), ".00000100000022484891815111041069030761718800000000"},
        {{io::FieldKind::real, 0, 50}, pattern(0x358637c1u), ".00000100000045222259359434247016906738281200000000"},
        {{io::FieldKind::real, 0, 7}, ItemValue::of(-9.9999999f), "-10.0000000"},
    });
}

TEST(FieldFormat, RoundingEdgesWhereTheOneDecimalShortcutGivesWay) {
    check({
        // Either side of the last binade with bits below the point, and of
        // the narrowest fraction the shortcut takes (2^-37, 60 bits).
        {field::F0_1, pattern(0x4affffffu), "8388607.5"},
        {field::F0_1, pattern(0x4b000000u), "8388608.0"},
        {field::F0_1, pattern(0xcb000001u), "-8388609.0"},
        {field::F0_1, pattern(0xad000000u), ".0"},
        {field::F0_1, pattern(0xac800000u), ".0"},
        {field::F0_1, ItemValue::of(-0.96f), "-1.0"},
        {field::F0_1, ItemValue::of(1099511627776.0f), "1099511627776.0"},
        {field::F0_1, ItemValue::of(1.0e20f), "100000002004087734272.0"},
        {field::F0_1, ItemValue::of(-1.0e30f), "-1000000015047466219876688855040.0"},
        // Fixed widths always take the general way.
        {field::F3_1, ItemValue::of(0.96f), "1.0"},     {field::F3_1, ItemValue::of(2.25f), "2.2"},
        {field::F3_1, ItemValue::of(3.75f), "3.8"},     {field::F3_1, ItemValue::of(0.05f), "0.1"},
        {field::F3_1, ItemValue::of(-0.05f), "-.1"},    {real_field(6, 2), ItemValue::of(0.125f), "  0.12"},
        {real_field(6, 2), ItemValue::of(0.375f), "  0.38"},
        {real_field(5, 0), ItemValue::of(2.5f), "   2."}, {real_field(5, 0), ItemValue::of(3.5f), "   4."},
        {real_field(2, 0), ItemValue::of(-0.5f), "0."},
        {{io::FieldKind::real, 0, 0}, ItemValue::of(3.5f), "4."},
        {{io::FieldKind::real, 0, 0}, ItemValue::of(-0.5f), "0."},
        {{io::FieldKind::real, 0, 6}, ItemValue::of(0.9999999f), "1.000000"},
        {{io::FieldKind::real, 0, 7}, ItemValue::of(0.99999994f), ".9999999"},
    });
}

TEST(FieldFormat, ExactTiesFarBelowThePoint) {
    // 2^-37 (a 60-bit fraction) and 2^-38 (61 bits, the wide one) end in
    // ...125 and ...625: cut one digit short they are exact halves.
    check({
        {{io::FieldKind::real, 0, 40}, pattern(0x2d000000u), ".0000000000072759576141834259033203125000"},
        {{io::FieldKind::real, 0, 36}, pattern(0x2d000000u), ".000000000007275957614183425903320312"},
        {{io::FieldKind::real, 0, 36}, pattern(0xad000000u), "-.000000000007275957614183425903320312"},
        {{io::FieldKind::real, 0, 37}, pattern(0x2c800000u), ".0000000000036379788070917129516601562"},
        {{io::FieldKind::real, 0, 38}, pattern(0x2c800000u), ".00000000000363797880709171295166015625"},
        {{io::FieldKind::real, 0, 37}, pattern(0x2d000001u), ".0000000000072759584815451638917238597"},
        {{io::FieldKind::real, 0, 40}, pattern(0x2cffffffu), ".0000000000072759571805025569091185388970"},
    });
}

TEST(FieldFormat, WrongItemKindOrShortBufferGivesNothing) {
    char out[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(io::format_field(field::F0_1, ItemValue::of(std::string_view("12")), out).status,
              FieldStatus::type_mismatch);
    EXPECT_EQ(io::format_field(field::A, ItemValue::of(7), out).status, FieldStatus::type_mismatch);
    EXPECT_EQ(io::format_field(field::F0_1, ItemValue::of(1.5f), out).length, 0u);
    EXPECT_EQ(io::format_field(real_field(0, 0xffffffffu), ItemValue::of(1.5f), out).length, 0u);
    EXPECT_EQ(io::format_integer_text(5, 5, out), FieldStatus::overflow);
    EXPECT_EQ(std::string(out, 4), "####");
}

// Compares F0.1 and F3.1 with the reference for one bit pattern.
void compare_with_reference(std::uint32_t bits, int& failures) {
    if (failures > 10) return;
    const auto minimal = format(field::F0_1, pattern(bits)).text;
    const auto width3 = format(field::F3_1, pattern(bits)).text;
    if (minimal != reference::minimal_one_decimal(bits) || width3 != reference::width3_one_decimal(bits)) {
        ++failures;
        ADD_FAILURE() << std::hex << "bits 0x" << bits << ": \"" << minimal << "\" \"" << width3 << "\"";
    }
}

TEST(FieldFormat, SampledBitPatternsMatchTheReference) {
    int failures = 0;
    // Strided across every pattern, both signs, all classes.
    for (std::uint64_t bits = 0; bits <= 0xffffffffu; bits += 4093) compare_with_reference(std::uint32_t(bits), failures);
    // Dense runs of patterns around values near halves at one decimal, and
    // across the binades where the first and the last fraction bits meet.
    for (const float centre : {0.05f, 0.25f, 0.35f, 1.25f, 9.95f, 12.25f, 99.95f, 1048575.9f, 8388607.5f}) {
        const auto c = std::bit_cast<std::uint32_t>(centre);
        for (std::uint32_t bits = c - 10000; bits != c + 10000; ++bits) {
            compare_with_reference(bits, failures);
            compare_with_reference(bits | 0x80000000u, failures);
        }
    }
    // Quarters are exact ties at one decimal; twentieths are the floats
    // nearest to x.y5, which lie just above or below the tie.
    for (std::uint32_t n = 0; n < 300000; ++n) {
        compare_with_reference(std::bit_cast<std::uint32_t>(static_cast<float>(n) / 4.0f), failures);
        compare_with_reference(std::bit_cast<std::uint32_t>(static_cast<float>(n) / 20.0f), failures);
    }
}

}  // namespace
