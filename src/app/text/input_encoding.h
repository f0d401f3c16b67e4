// What --encoding names, and a field's bytes turned into the UTF-8 every
// text inside the program is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/text/code_page.h"

namespace app::text {

struct InputEncoding {
    bool utf8 = true;
    CodePage page = CodePage::ansi_1252;  // when not utf8
};

// utf-8 or utf8 (the default), or a code page as parse_code_page names it.
bool parse_input_encoding(std::string_view name, InputEncoding& encoding);

// A code page's byte becomes at most three bytes of UTF-8, a pair at most three.
inline constexpr std::size_t kDecodeGrowth = 3;

enum class DecodeStatus : std::uint8_t {
    ok,
    invalid,  // bad_at is the first byte that is no character of the encoding
    no_room,  // `out` is smaller than kDecodeGrowth times the bytes
};

struct Decoded {
    DecodeStatus status;
    // The text as UTF-8: the bytes themselves when they needed no change
    // (UTF-8 input, or ASCII in any code page), else in `out`.
    std::string_view text;
    std::size_t bad_at = 0;
};

// A byte sequence that is no character is reported, never replaced: the
// reader refuses the field by line and field, so a wrong --encoding shows
// at once instead of as mojibake in the drawing.
Decoded decode_input(std::string_view bytes, InputEncoding encoding, std::span<char> out);

}  // namespace app::text
