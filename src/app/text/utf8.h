// Small UTF-8 steps shared by the text cores: every text inside the program
// is UTF-8; code pages exist only at the input and at the drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace app::text {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Whether no byte has its high bit set, eight bytes at a time: most names
// are short ASCII, and this is all they cost.
inline bool is_ascii(std::string_view s) {
    const char* p = s.data();
    std::size_t n = s.size();
    std::uint64_t seen = 0;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        seen |= word;
    }
    for (; n > 0; ++p, --n) seen |= static_cast<unsigned char>(*p);
    return (seen & 0x8080808080808080u) == 0;
}

// One character read from UTF-8; length 0 when the bytes at that place are
// not UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
struct Utf8Step {
    char32_t character;
    std::uint8_t length;
};

inline Utf8Step next_character(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[at + k]); };
    const unsigned lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    unsigned low = 0x80;  // the range of the second byte, narrowed where
    unsigned high = 0xBF; // the lead alone would allow an overlong form or a surrogate
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {0, 0};
    }
    if (s.size() - at < length || byte(1) < low || byte(1) > high) return {0, 0};
    char32_t c = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {0, 0};
        c = (c << 6) | (byte(k) & 0x3F);
    }
    return {c, static_cast<std::uint8_t>(length)};
}

// Writes c as UTF-8 at `out` (room for four bytes); returns the count.
inline std::size_t put_utf8(char32_t c, char* out) {
    const auto b = [](char32_t v) { return static_cast<char>(v); };
    if (c < 0x80) {
        out[0] = b(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = b(0xC0 | (c >> 6));
        out[1] = b(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = b(0xE0 | (c >> 12));
        out[1] = b(0x80 | ((c >> 6) & 0x3F));
        out[2] = b(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = b(0xF0 | (c >> 18));
    out[1] = b(0x80 | ((c >> 12) & 0x3F));
    out[2] = b(0x80 | ((c >> 6) & 0x3F));
    out[3] = b(0x80 | (c & 0x3F));
    return 4;
}

// Control characters (Unicode's Cc: C0, DEL and C1) never reach a drawing
// as themselves: a line end inside a value breaks the file for readers.
constexpr bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace app::text
