#include "app/text/drawing_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/text/utf8.h"

namespace {

using app::text::CodePage;
using namespace std::literals;

std::string written(std::string_view text, CodePage page) {
    std::vector<char> out(text.size() * app::text::kTextGrowth);
    const std::size_t n = app::text::write_drawing_text(text, page, out);
    return n == app::text::kNoRoom ? "(no room)" : std::string(out.data(), n);
}

struct Case {
    std::string_view text;
    CodePage page;
    std::string_view bytes;  // as Python's codecs write the characters the page holds
};

const Case kCases[] = {
    {"P1 Oak", CodePage::ansi_1252, "P1 Oak"},
    {"0", CodePage::ansi_1252, "0"},
    {"EOF", CodePage::ansi_1252, "EOF"},
    {"SECTION", CodePage::ansi_1252, "SECTION"},
    {"H\xC3\xB6he", CodePage::ansi_1252, "H\xF6he"},
    {"H\xC3\xB6he", CodePage::ansi_1251, "H\\U+00F6he"},
    {"\xD1\x81\xD1\x82\xD0\xBE\xD0\xBB\xD0\xB1", CodePage::ansi_1251, "\xF1\xF2\xEE\xEB\xE1"},
    {"\xCE\xA9", CodePage::ansi_1253, "\xD9"},
    {"\xE6\xB5\x8B\xE9\x87\x8F\xE7\x82\xB9", CodePage::ansi_936, "\xB2\xE2\xC1\xBF\xB5\xE3"},
    {"\xE6\xB8\xAC\xE7\x82\xB9", CodePage::ansi_932, "\x91\xAA\x93_"},
    {"\xEC\xB8\xA1", CodePage::ansi_949, "\xC3\xF8"},
    {"\xE6\xB5\x8B", CodePage::ansi_1252, "\\U+6D4B"},
    {"P \xF0\x9F\x98\x80", CodePage::ansi_1252, "P \\U+D83D\\U+DE00"},
    // Control characters, NUL included, become blanks; C1 too.
    {"a\rb\nc\0d\te\x7F" "f\xC2\x85g"sv, CodePage::ansi_1252, "a b c d e f g"},
    {"%%d", CodePage::ansi_1252, "\\U+0025%d"},
    {"%%%", CodePage::ansi_1252, "\\U+0025\\U+0025%"},
    {"50%", CodePage::ansi_1252, "50%"},
    {"%", CodePage::ansi_1252, "%"},
    {"5% %d", CodePage::ansi_1252, "5% %d"},
    {"x^2", CodePage::ansi_1252, "x^ 2"},
    {"^", CodePage::ansi_1252, "^ "},
    {"\\U+0041", CodePage::ansi_1252, "\\U+005CU+0041"},
    {"\\m+1", CodePage::ansi_1252, "\\U+005Cm+1"},
    {"C:\\temp\\U", CodePage::ansi_1252, "C:\\temp\\U"},
    {"a\xFF" "b", CodePage::ansi_1252, "a\\U+FFFDb"},
};

TEST(DrawingText, WrittenAsReadersShowItTyped) {
    for (const Case& c : kCases) {
        EXPECT_EQ(written(c.text, c.page), c.bytes) << c.text;
    }
    std::vector<char> small(6);
    EXPECT_EQ(app::text::write_drawing_text("ab", CodePage::ansi_1252, small), app::text::kNoRoom);
}

// What a reader shows: the page's bytes decoded, "^ " as '^', and \U+XXXX
// (upper-case hex) as its character, UTF-16 pairs joined.
std::u32string read_back(std::string_view bytes, CodePage page) {
    std::u32string chars;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto step = app::text::decode_character(page, bytes, at);
        if (step.length == 0) return U"(not the page's bytes)";
        chars.push_back(step.character);
        at += step.length;
    }
    if (chars.find(U"%%") != std::u32string::npos) return U"(holds %%)";
    std::u32string shown;
    for (std::size_t k = 0; k < chars.size(); ++k) {
        if (chars[k] < 0x20 || chars[k] == 0x7F) return U"(a control character)";
        if (chars[k] == '^') {
            if (k + 1 == chars.size() || chars[k + 1] != ' ') return U"(a caret code)";
            shown.push_back('^');
            ++k;
            continue;
        }
        const std::u32string_view rest(chars.data() + k, chars.size() - k);
        char32_t v = 0;
        bool code = rest.size() >= 7 && rest.starts_with(U"\\U+");
        for (std::size_t d = 3; code && d < 7; ++d) {
            const char32_t h = rest[d];
            code = (h >= '0' && h <= '9') || (h >= 'A' && h <= 'F');
            v = v * 16 + (h <= '9' ? h - '0' : h - 'A' + 10);
        }
        if (!code) {
            shown.push_back(chars[k]);
            continue;
        }
        k += 6;
        if (v >= 0xDC00 && v <= 0xDFFF && !shown.empty() && shown.back() >= 0xD800 && shown.back() <= 0xDBFF)
            shown.back() = 0x10000 + ((shown.back() - 0xD800) << 10) + (v - 0xDC00);
        else
            shown.push_back(v);
    }
    return shown;
}

// Random texts from the characters that need care, in every page: a reader
// shows each as typed (control characters as blanks), and nothing written
// holds a line end, "%%" or a caret code.
TEST(DrawingText, EveryPageReadsBackAsTyped) {
    const std::u32string alphabet = U"a%^\\UuM+04F\t\r\n\0 \u0085\u00F6\u0436\u03A9\u6D4B\uCE21\uFF76\u20AC\U0001F600"s;
    std::mt19937 random(26);
    for (int k = 0; k < 14; ++k) {
        const auto page = static_cast<CodePage>(k);
        for (int n = 0; n < 3000; ++n) {
            std::string text;
            std::u32string typed;
            const auto length = random() % 12;
            for (unsigned i = 0; i < length; ++i) {
                const char32_t c = alphabet[random() % alphabet.size()];
                char buffer[4];
                text.append(buffer, app::text::put_utf8(c, buffer));
                typed.push_back(app::text::is_control(c) ? U' ' : c);
            }
            ASSERT_EQ(read_back(written(text, page), page), typed) << k << ": " << text;
        }
    }
}

TEST(DrawingText, LengthCapInCharacters) {
    const std::string cyrillic_255 = [] {
        std::string s;
        for (int i = 0; i < 255; ++i) s += "\xD0\xB6";
        return s;
    }();
    const struct {
        std::string text;
        bool too_long;
    } cases[] = {
        {std::string(255, 'x'), false},
        {std::string(256, 'x'), true},
        {cyrillic_255, false},
        {cyrillic_255 + "x", true},
        {std::string(1 << 20, 'x'), true},
    };
    for (const auto& c : cases) EXPECT_EQ(app::text::text_too_long(c.text), c.too_long) << c.text.size();
}

}  // namespace
