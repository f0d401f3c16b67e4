#include "io/scan/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace io {
namespace {

// A compact account of what the recogniser found: sign and digits (with the
// digits past the 19th after a slash), S, F and X, then the flags: "." point,
// "E" exponent letter, "x" exponent part, "!" leftover, "r+"/"r-" exponent out
// of range, or the word form.
std::string describe(const NumberText& n) {
    switch (n.form) {
    case NumberText::Form::infinity: return std::string(n.negative ? "-" : n.plus ? "+" : "") + "inf";
    case NumberText::Form::nan: return std::string(n.negative ? "-" : n.plus ? "+" : "") + "nan";
    case NumberText::Form::unknown_word: return "word?";
    case NumberText::Form::decimal: break;
    }
    std::string s = n.negative ? "-" : n.plus ? "+" : "";
    s += std::to_string(n.digits);
    if (n.more_count > 0) s += "/" + std::string(n.more_count - std::to_string(n.more_digits).size(), '0') + std::to_string(n.more_digits);
    s += " S" + std::to_string(n.significant) + " F" + std::to_string(n.fraction) + " X" + std::to_string(n.exponent);
    std::string flags;
    if (n.point) flags += '.';
    if (n.exponent_letter) flags += 'E';
    if (n.exponent_part) flags += 'x';
    if (n.leftover) flags += '!';
    if (n.exponent_range != 0) flags += n.exponent_range > 0 ? " r+" : " r-";
    return flags.empty() ? s : s + " " + flags;
}

struct Case {
    std::string text;
    NumberEnd ending;
    std::size_t end;
    std::string found;  // checked when the text is not malformed
};

constexpr auto ok = NumberEnd::text_end;
constexpr auto star = NumberEnd::star;
constexpr auto bad = NumberEnd::malformed;

void check(const Case& c) {
    NumberText n;
    const NumberScan scan = recognise_number(c.text, 0, n);
    ASSERT_EQ(scan.ending, c.ending) << c.text;
    if (c.ending == bad) return;
    EXPECT_EQ(scan.end, c.end) << c.text;
    EXPECT_EQ(describe(n), c.found) << c.text;
}

TEST(NumberText, FindsTheSignificand) {
    const Case cases[] = {
        {"1234.5678 ", ok, 9, "12345678 S8 F4 X0 ."},
        {"-0.05,", ok, 5, "-5 S1 F2 X0 ."},
        {"+000123)", ok, 7, "+123 S3 F0 X0"},
        {"0/", ok, 1, "0 S0 F0 X0"},
        {"-0.000", ok, 6, "-0 S0 F3 X0 ."},
        {"3.", ok, 2, "3 S1 F0 X0 ."},
        {".5", ok, 2, "5 S1 F1 X0 ."},
        // Either side of the 9 digits a 32-bit register holds, across the
        // point, after leading zeros and at the record end.
        {"00098765.4321", ok, 13, "987654321 S9 F4 X0 ."},
        {"00098765.43210", ok, 14, "9876543210 S10 F5 X0 ."},
        {"9999999999", ok, 10, "9999999999 S10 F0 X0"},
        {"-000.0004294967296 ", ok, 18, "-4294967296 S10 F13 X0 ."},
        {"12345.67890123456,", ok, 17, "1234567890123456 S16 F11 X0 ."},
        {"0.1234567890123456789", ok, 21, "1234567890123456789 S19 F19 X0 ."},
        {"123456789.0", ok, 11, "1234567890 S10 F1 X0 ."},
        // Either side of the 19 digits a word holds, and long runs of zeros.
        {"1234567890123456789", ok, 19, "1234567890123456789 S19 F0 X0"},
        {"12345678901234567890", ok, 20, "1234567890123456789/0 S20 F0 X0"},
        {"12345678901234567890123456789", ok, 29, "1234567890123456789/01234567 S29 F0 X0"},
        {"98765432109876543.21098765432", ok, 29, "9876543210987654321/09876543 S28 F11 X0 ."},
        {"0.000000000000000000001234", ok, 26, "1234 S4 F24 X0 ."},
        {"0000000000000000000000000000042", ok, 31, "42 S2 F0 X0"},
        {"1" + std::string(30, '0') + ".", ok, 32, "1000000000000000000/00000000 S31 F0 X0 ."},
    };
    for (const Case& c : cases) check(c);
}

TEST(NumberText, FindsTheExponentAndWhatIsLeftOver) {
    const Case cases[] = {
        {"1.5+3", ok, 5, "15 S2 F1 X3 .x"},
        {"2-1", ok, 3, "2 S1 F0 X-1 x"},
        {"-.5q-1 ", ok, 6, "-5 S1 F1 X-1 .Ex"},
        {"1e", ok, 2, "1 S1 F0 X0 Ex"},
        {"1.5E", ok, 4, "15 S2 F1 X0 .Ex"},
        {"1e-0000012", ok, 10, "1 S1 F0 X-12 Ex"},
        {"1e123456", ok, 8, "1 S1 F0 X123456 Ex"},
        {"1e1234567", ok, 9, "1 S1 F0 X123456 Ex r+"},
        {"1e-1234567", ok, 10, "1 S1 F0 X-123456 Ex r-"},
        // Signs and points the scanner lets through but a number cannot hold.
        {"1E5.5", ok, 5, "1 S1 F0 X5 Ex!"},
        {"1+2+3", ok, 5, "1 S1 F0 X2 x!"},
        {"1-.3", ok, 4, "1 S1 F0 X0 x!"},
        {"1+2e3", ok, 5, "1 S1 F0 X2 x!"},
        {"12-3", ok, 4, "12 S2 F0 X-3 x"},
        // No digit in the significand: the value is zero, whatever follows.
        {".-5", ok, 3, "0 S0 F0 X-5 .x"},
    };
    for (const Case& c : cases) check(c);
}

TEST(NumberText, EndsAtARepeatMarkOrRefusesTheText) {
    const Case cases[] = {
        {"5*", star, 1, "5 S1 F0 X0"},
        {"12*3", star, 2, "12 S2 F0 X0"},
        {"2.5*1", star, 3, "25 S2 F1 X0 ."},
        {"1e2*", star, 3, "1 S1 F0 X2 Ex"},
        {"*5", bad, 0, ""},      {"-*", bad, 0, ""},    {"", bad, 0, ""},      {"-", bad, 0, ""},
        {".", bad, 0, ""},       {"+.", bad, 0, ""},    {"--1", bad, 0, ""},   {"1-", bad, 0, ""},
        {"5E+", bad, 0, ""},     {"1e5e5", bad, 0, ""}, {"1-e5", bad, 0, ""},  {"e5", bad, 0, ""},
        {"+.e5", bad, 0, ""},    {"1a", bad, 0, ""},    {"1;2", bad, 0, ""},   {"1.0.0", bad, 0, ""},
        {"1\r2", bad, 0, ""},    {"1\n", bad, 0, ""},   {"1(", bad, 0, ""},    {"1'", bad, 0, ""},
        {"1T", bad, 0, ""},      {"1i", bad, 0, ""},    {"\x80", bad, 0, ""},  {"1\x1a", bad, 0, ""},
        {"1+-2", bad, 0, ""},    {"-.+5", bad, 0, ""},
    };
    for (const Case& c : cases) check(c);
}

TEST(NumberText, ReadsWordsToTheirEnd) {
    const Case cases[] = {
        {"INF", ok, 3, "inf"},
        {"-Infinity)", ok, 9, "-inf"},
        {"+nan 1", ok, 4, "+nan"},
        {"NaN(1_a),", ok, 8, "nan"},
        {"nan()", ok, 5, "nan"},
        // A word runs past "*" and every other byte up to a number's end; a
        // NAN word's part runs to its ")" even across blanks.
        {"INF*3", ok, 5, "word?"},
        {"NaN(a b) x", ok, 8, "word?"},
        {"nan(x", ok, 5, "word?"},
        {"NaN(", ok, 4, "word?"},
        {"nan)", ok, 3, "nan"},
        {"Infinit", ok, 7, "word?"},
        {"INFINITYX", ok, 9, "word?"},
        {"NANA", ok, 4, "word?"},
        {"inf(x)", ok, 5, "word?"},  // only a NAN word has a part
    };
    for (const Case& c : cases) check(c);
}

// The same texts under either decimal mark: under the comma, "," is the
// point and "." no part of a number; all else reads alike.
struct Reading {
    NumberEnd ending;
    std::size_t end = 0;
    std::string found = "";
};

template <DecimalMark mark>
void expect_reading(const std::string& text, const Reading& expected) {
    NumberText n;
    const NumberScan scan = recognise_number<mark>(text, 0, n);
    const char* mode = mark == DecimalMark::point ? " (point)" : " (comma)";
    ASSERT_EQ(scan.ending, expected.ending) << text << mode;
    if (expected.ending == bad) return;
    EXPECT_EQ(scan.end, expected.end) << text << mode;
    EXPECT_EQ(describe(n), expected.found) << text << mode;
}

TEST(NumberText, ReadsTheDecimalMarkItIsGiven) {
    const struct {
        std::string text;
        Reading point, comma;
    } cases[] = {
        {"12,5", {ok, 2, "12 S2 F0 X0"}, {ok, 4, "125 S3 F1 X0 ."}},
        {"12.5", {ok, 4, "125 S3 F1 X0 ."}, {bad}},
        {"1.5,", {ok, 3, "15 S2 F1 X0 ."}, {bad}},
        {",5", {bad}, {ok, 2, "5 S1 F1 X0 ."}},
        {"3,", {ok, 1, "3 S1 F0 X0"}, {ok, 2, "3 S1 F0 X0 ."}},
        {"-,5q-1 ", {bad}, {ok, 6, "-5 S1 F1 X-1 .Ex"}},
        {"1,5E3", {ok, 1, "1 S1 F0 X0"}, {ok, 5, "15 S2 F1 X3 .Ex"}},
        {"1,0,0", {ok, 1, "1 S1 F0 X0"}, {bad}},
        {"1E5,5", {ok, 3, "1 S1 F0 X5 Ex"}, {ok, 5, "1 S1 F0 X5 Ex!"}},
        {"12,5;", {ok, 2, "12 S2 F0 X0"}, {bad}},
        {"2,5*3", {ok, 1, "2 S1 F0 X0"}, {star, 3, "25 S2 F1 X0 ."}},
        {"INF,", {ok, 3, "inf"}, {ok, 4, "word?"}},
        {"NaN(1_a),", {ok, 8, "nan"}, {ok, 9, "word?"}},
        // Significands read again past a register's digits, across the mark.
        {"00098765,43210)", {ok, 8, "98765 S5 F0 X0"}, {ok, 14, "9876543210 S10 F5 X0 ."}},
        {"98765432109876543,21098765432/", {ok, 17, "98765432109876543 S17 F0 X0"},
         {ok, 29, "9876543210987654321/09876543 S28 F11 X0 ."}},
    };
    for (const auto& c : cases) {
        expect_reading<DecimalMark::point>(c.text, c.point);
        expect_reading<DecimalMark::comma>(c.text, c.comma);
    }
}

TEST(NumberText, StartsWhereTheScannerStands) {
    NumberText n;
    const std::string_view record = "1 22.5 3";
    const NumberScan scan = recognise_number(record, 2, n);
    EXPECT_EQ(scan.ending, ok);
    EXPECT_EQ(scan.end, 6u);
    EXPECT_EQ(describe(n), "225 S3 F1 X0 .");
}

}  // namespace
}  // namespace io
