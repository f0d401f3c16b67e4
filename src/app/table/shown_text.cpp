#include "app/table/shown_text.h"

#include <cstdint>

#include "app/text/utf8.h"

namespace app::table {
namespace {

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
        const app::text::Utf8Step step = app::text::next_character(text, 0);
        const char32_t code = step.character;
        const std::size_t n = step.length;
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
