#include "app/text/drawing_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "app/text/utf8.h"

namespace app::text {
namespace {

// Bytes the quick pass stops at: all but plain ASCII letters, digits and
// punctuation.
constexpr std::array<bool, 256> kNeedsCare = [] {
    std::array<bool, 256> care{};
    for (unsigned b = 0; b < 256; ++b) care[b] = b < 0x20 || b >= 0x7F || b == '%' || b == '^' || b == '\\';
    return care;
}();

std::size_t put_escape(char32_t c, char* out) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::memcpy(out, "\\U+", 3);
    for (int k = 0; k < 4; ++k) out[3 + k] = kHex[(c >> (12 - 4 * k)) & 0xF];
    return 7;
}

// A character the page does not hold: one escape, or two for a UTF-16 pair.
std::size_t put_unheld(char32_t c, char* out) {
    if (c <= 0xFFFF) return put_escape(c, out);
    const char32_t v = c - 0x10000;
    put_escape(0xD800 + (v >> 10), out);
    return 7 + put_escape(0xDC00 + (v & 0x3FF), out + 7);
}

bool starts_escape(std::string_view text, std::size_t at) {
    if (text.size() - at < 2 || text[at + 1] != '+') return false;
    const char c = text[at];
    return c == 'U' || c == 'u' || c == 'M' || c == 'm';
}

}  // namespace

bool text_too_long(std::string_view utf8) {
    if (utf8.size() <= kTextMostCharacters) return false;
    std::size_t characters = 0;
    for (const char c : utf8) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters > kTextMostCharacters;
}

std::size_t write_drawing_text(std::string_view text, CodePage page, std::span<char> out) {
    if (out.size() / kTextGrowth < text.size()) return kNoRoom;
    std::size_t at = 0;
    while (at < text.size() && !kNeedsCare[static_cast<unsigned char>(text[at])]) ++at;
    if (at == text.size()) {
        if (at != 0) std::memcpy(out.data(), text.data(), at);  // an empty text may have no bytes at all
        return at;
    }
    std::memcpy(out.data(), text.data(), at);
    char* w = out.data() + at;
    while (at < text.size()) {
        const char b = text[at];
        if (!kNeedsCare[static_cast<unsigned char>(b)]) {
            *w++ = b;
            ++at;
            continue;
        }
        if (b == '%' && at + 1 < text.size() && text[at + 1] == '%') {
            w += put_escape('%', w);
            ++at;
            continue;
        }
        if (b == '^') {
            std::memcpy(w, "^ ", 2);
            w += 2;
            ++at;
            continue;
        }
        if (b == '\\' && starts_escape(text, at + 1)) {
            w += put_escape('\\', w);
            ++at;
            continue;
        }
        const Utf8Step step = next_character(text, at);
        if (step.length == 0) {
            w += put_escape(kReplacementCharacter, w);
            ++at;
            continue;
        }
        at += step.length;
        const char32_t c = step.character;
        if (is_control(c)) {
            *w++ = ' ';
            continue;
        }
        const PageBytes bytes = encode_character(page, c);
        if (bytes.length == 0) {
            w += put_unheld(c, w);
            continue;
        }
        for (std::uint8_t k = 0; k < bytes.length; ++k) *w++ = static_cast<char>(bytes.bytes[k]);
    }
    return static_cast<std::size_t>(w - out.data());
}

}  // namespace app::text
