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

TEST(DrawingText, WrittenAsReadersShowItTyped) {
    const struct {
        std::string_view text;
        CodePage page;
        std::string_view bytes;  // the page's bytes as Python's codecs write them
    } cases[] = {
        {"P1 0 EOF SECTION", CodePage::ansi_1252, "P1 0 EOF SECTION"},
        {"H\xC3\xB6he", CodePage::ansi_1252, "H\xF6he"},
        {"H\xC3\xB6he", CodePage::ansi_1251, "H\\U+00F6he"},
        {"\xD1\x81\xD1\x82\xD0\xBE\xD0\xBB\xD0\xB1", CodePage::ansi_1251, "\xF1\xF2\xEE\xEB\xE1"},
        {"\xCE\xA9", CodePage::ansi_1253, "\xD9"},
        {"\xE6\xB5\x8B\xE9\x87\x8F\xE7\x82\xB9", CodePage::ansi_936, "\xB2\xE2\xC1\xBF\xB5\xE3"},
        {"\xE6\xB8\xAC\xE7\x82\xB9", CodePage::ansi_932, "\x91\xAA\x93_"},
        {"\xE6\xB5\x8B", CodePage::ansi_1252, "\\U+6D4B"},
        {"P \xF0\x9F\x98\x80", CodePage::ansi_1252, "P \\U+D83D\\U+DE00"},
        {"a\rb\nc\0d\te\x7F" "f\xC2\x85g"sv, CodePage::ansi_1252, "a b c d e f g"},
        {"%%d", CodePage::ansi_1252, "\\U+0025%d"},
        {"%%%", CodePage::ansi_1252, "\\U+0025\\U+0025%"},
        {"50% %d %", CodePage::ansi_1252, "50% %d %"},
        {"x^2^", CodePage::ansi_1252, "x^ 2^ "},
        {"\\U+0041 \\m+1 C:\\temp\\U", CodePage::ansi_1252, "\\U+005CU+0041 \\U+005Cm+1 C:\\temp\\U"},
        {"a\xFF" "b", CodePage::ansi_1252, "a\\U+FFFDb"},
    };
    for (const auto& c : cases) EXPECT_EQ(written(c.text, c.page), c.bytes) << c.text;
    std::vector<char> small(13);
    EXPECT_EQ(app::text::write_drawing_text("ab", CodePage::ansi_1252, small), app::text::kNoRoom);
}

// What a reader shows: the page's bytes decoded, "^ " as '^', and \U+XXXX
// (upper-case hex) as its character, UTF-16 pairs joined. Marks what no
// reader would show as typed.
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
            shown.push_back(chars[k++]);
            continue;
        }
        char32_t v = 0;
        bool code = chars.compare(k, 3, U"\\U+") == 0 && chars.size() - k >= 7;
        for (std::size_t d = k + 3; code && d < k + 7; ++d) {
            const char32_t h = chars[d];
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

// Random texts of the characters that need care, in every page: a reader
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
            for (auto length = random() % 12; length > 0; --length) {
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
    std::string cyrillic;
    for (int i = 0; i < 255; ++i) cyrillic += "\xD0\xB6";
    EXPECT_FALSE(app::text::text_too_long(std::string(255, 'x')));
    EXPECT_TRUE(app::text::text_too_long(std::string(256, 'x')));
    EXPECT_FALSE(app::text::text_too_long(cyrillic));
    EXPECT_TRUE(app::text::text_too_long(cyrillic + "x"));
    EXPECT_TRUE(app::text::text_too_long(std::string(1 << 20, 'x')));
}

}  // namespace
