#include "app/table/shown_text.h"

#include <cstdint>

namespace app::table {
namespace {

// The length of the valid UTF-8 sequence at the start of `s` and its code
// point, or 0 for a byte that starts none (overlong forms, surrogates and
// code points past U+10FFFF included).
std::size_t utf8_sequence(std::string_view s, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead < 0x80) n = 1;
    else if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (n == 0 || s.size() < n) return 0;
    if (n > 1 && (byte(1) < low || byte(1) > high)) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    code = lead & kLeadBits[n];
    for (std::size_t i = 1; i < n; ++i) code = (code << 6) | (byte(i) & 0x3F);
    return n;
}

// Code points a user reads as nothing or as a space.
constexpr bool is_unseen(char32_t c) {
    return c == 0xA0 || c == 0xAD || (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
           (c >= 0x205F && c <= 0x2064) || c == 0xFEFF;
}

class Writer {
public:
    explicit Writer(ShownBuffer& out) : out_(out) {}
    void put(std::string_view s) {
        for (const char c : s) out_[size_++] = c;
    }
    void hex(std::uint32_t value, int digits) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out_[size_++] = kDigits[(value >> shift) & 0xF];
    }
    std::string_view view() const { return {out_.data(), size_}; }

private:
    ShownBuffer& out_;
    std::size_t size_ = 0;
};

}  // namespace

std::string_view shown_text(std::string_view text, ShownBuffer& out) {
    Writer w(out);
    for (std::size_t shown = 0; !text.empty(); ++shown) {
        if (shown == kShownCharacters) {
            w.put("...");
            break;
        }
        char32_t code = 0;
        const std::size_t n = utf8_sequence(text, code);
        if (n == 0 || code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F)) {
            // One byte at a time: a C1 character's two bytes each so, as
            // an invalid sequence's, so the escape always names bytes.
            const auto b = static_cast<unsigned char>(text[0]);
            switch (b) {
                case '\r': w.put("\\r"); break;
                case '\t': w.put("\\t"); break;
                case '\n': w.put("\\n"); break;
                case '\0': w.put("\\0"); break;
                default:
                    w.put("\\x");
                    w.hex(b, 2);
            }
            text.remove_prefix(1);
            continue;
        }
        if (is_unseen(code)) {
            w.put("U+");
            w.hex(static_cast<std::uint32_t>(code), 4);
        } else {
            w.put(text.substr(0, n));
        }
        text.remove_prefix(n);
    }
    return w.view();
}

bool looks_cr_only(std::string_view record) {
    for (std::size_t i = 0; i + 1 < record.size(); ++i)
        if (record[i] == '\r' && record[i + 1] != '\r') return true;
    return false;
}

}  // namespace app::table
