// A field or a line as a refusal message shows it: what a user could not
// see in the message is spelled out, so "not a number: '1'" never hides the
// byte that made it so.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace app::table {

// At most this many characters of a text are shown; "..." follows a text
// cut there. A character is a code point of valid UTF-8, or one byte that is none.
inline constexpr std::size_t kShownCharacters = 60;
// The longest escape, "U+FEFF", is six bytes.
using ShownBuffer = std::array<char, kShownCharacters * 6 + 3>;

// `text` with every character a user cannot see escaped, written into `out`:
// - CR, TAB, LF and NUL as \r \t \n \0, other control characters (DEL and
//   the C1 ones among them) and every byte that is not valid UTF-8 as \xNN
//   (two hexadecimal digits, upper case; a C1 character's bytes each so);
// - the byte-order mark and the code points that print as nothing or as a
//   plain space (no-break spaces, zero-width characters, direction marks,
//   the line and paragraph separators, the soft hyphen) as U+XXXX;
// - any other UTF-8 as it is. A backslash is shown as itself.
std::string_view shown_text(std::string_view text, ShownBuffer& out);

// A CR inside a record with more than CRs after it: the file's lines
// probably end in CR alone, so the whole file came as one record.
bool looks_cr_only(std::string_view record);

}  // namespace app::table
