// A text (a point's name or label) as a drawing's TEXT or ATTRIB value
// holds it, so that readers show it as typed.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "app/text/code_page.h"

namespace app::text {

// The most characters a text may have: a drawing's string is at most 255
// characters. Longer texts are refused by the reader, by line and field.
inline constexpr std::size_t kTextMostCharacters = 255;
bool text_too_long(std::string_view utf8);

// A byte of text becomes at most seven written ones ("%" as \U+0025).
inline constexpr std::size_t kTextGrowth = 7;
inline constexpr std::size_t kNoRoom = static_cast<std::size_t>(-1);

// Writes UTF-8 `text` as bytes of `page` into `out`; returns the count, or
// kNoRoom when `out` is smaller than kTextGrowth times the text. Every
// character is written as itself, except:
// - a control character (U+0000-U+001F, U+007F-U+009F) is written as a
//   blank: a line end would end the value, and a blank keeps words apart;
// - a character the page does not hold is written \U+XXXX (4 upper-case hex
//   digits, as readers decode them), one above U+FFFF as its UTF-16 pair
//   \U+D83D\U+DE00, the only form that carries it to a reader at all;
// - a '%' followed by '%' is written \U+0025, so the text never holds "%%",
//   which readers take for a special character (%%d a degree sign) and do
//   not agree on how to escape;
// - '^' is written "^ ", the form readers decode to '^' (they take '^'
//   and the character after it for a control character);
// - a '\' before "U+" or "M+" (either case) is written \U+005C, so what
//   follows is not decoded as a character;
// - bytes that are no UTF-8 are written \U+FFFD, one for each byte.
std::size_t write_drawing_text(std::string_view text, CodePage page, std::span<char> out);

}  // namespace app::text
