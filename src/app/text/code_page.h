// The code pages a drawing can declare in $DWGCODEPAGE, and one character's
// bytes in each.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/text/code_page_tables.h"

namespace app::text {

// In the order a drawing's code page is chosen: the first that holds every
// character the drawing writes. One-byte pages first (one byte a character,
// and every reader knows them), Western European first of all (ASCII-only
// drawings and most Latin text), then the two-byte East Asian pages.
enum class CodePage : std::uint8_t {
    ansi_1252, ansi_1250, ansi_1251, ansi_1253, ansi_1254, ansi_1255, ansi_1256,
    ansi_1257, ansi_1258, ansi_874, ansi_932, ansi_936, ansi_949, ansi_950,
};

// "ANSI_1251": the value of $DWGCODEPAGE.
std::string_view dxf_name(CodePage page);

// The page a user names: ANSI_1251, cp1251, windows-1251 or 1251 (letter
// case, '-', '_' and blanks aside), and the usual names of the East Asian
// pages (shift_jis, sjis, windows-31j; gbk, gb2312; uhc, euc-kr; big5) and
// tis-620. False for a name it does not know.
bool parse_code_page(std::string_view name, CodePage& page);

// The bytes that write one character in a page; length 0 when the page does
// not hold it (or would read it back as another character).
struct PageBytes {
    std::uint8_t length;
    std::uint8_t bytes[2];
};
PageBytes encode_character(CodePage page, char32_t c);

inline bool holds(CodePage page, char32_t c) { return c < 0x80 || encode_character(page, c).length != 0; }

// The character that the bytes at `at` stand for in a page, and how many
// bytes it takes; length 0 where they are no character of the page.
struct PageStep {
    char32_t character;
    std::uint8_t length;
};
PageStep decode_character(CodePage page, std::string_view bytes, std::size_t at);

}  // namespace app::text
