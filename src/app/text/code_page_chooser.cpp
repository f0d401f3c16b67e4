#include "app/text/code_page_chooser.h"

#include <bit>
#include <cstddef>

#include "app/text/utf8.h"

namespace app::text {

void CodePageChooser::feed(std::string_view utf8) {
    if (candidates_ == 0 || is_ascii(utf8)) return;
    for (std::size_t at = 0; at < utf8.size() && candidates_ != 0;) {
        const Utf8Step step = next_character(utf8, at);
        // Bytes that are no UTF-8 are written as \U+FFFD, control characters
        // as a blank: neither needs a page.
        if (step.length == 0) {
            ++at;
            continue;
        }
        at += step.length;
        if (step.character >= 0x80 && !is_control(step.character)) take(step.character);
    }
}

void CodePageChooser::take(char32_t c) {
    char32_t& slot = taken_[c % taken_.size()];
    if (slot == c) return;
    slot = c;
    for (std::uint16_t left = candidates_; left != 0; left &= left - 1) {
        const int k = std::countr_zero(left);
        if (!holds(static_cast<CodePage>(k), c)) candidates_ &= static_cast<std::uint16_t>(~(1u << k));
    }
}

CodePage CodePageChooser::choice() const {
    return candidates_ == 0 ? CodePage::ansi_1252 : static_cast<CodePage>(std::countr_zero(candidates_));
}

}  // namespace app::text
