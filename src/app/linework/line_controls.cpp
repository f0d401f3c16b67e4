#include "app/linework/line_controls.h"

#include <cstddef>

namespace app::linework {

namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Cuts the next word off the front of `text`; empty at the end.
std::string_view next_word(std::string_view& text) {
    std::size_t start = 0;
    while (start < text.size() && is_blank(text[start])) ++start;
    std::size_t end = start;
    while (end < text.size() && !is_blank(text[end])) ++end;
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

constexpr LineControl control_of(std::string_view word) {
    if (word.size() != 1) return LineControl::none;
    switch (word[0]) {
        case 'B': case 'b': return LineControl::begin;
        case 'E': case 'e': return LineControl::end;
        case 'C': case 'c': return LineControl::close;
        default: return LineControl::none;
    }
}

}  // namespace

DescriptionParts split_description(std::string_view description) {
    std::string_view rest = description;
    const std::string_view code = next_word(rest);
    return {code, rest};
}

bool parse_line_controls(std::string_view after_code, LineControl& control, ControlFault& fault) {
    control = LineControl::none;
    fault = {};
    for (std::string_view word = next_word(after_code); !word.empty(); word = next_word(after_code)) {
        const LineControl found = control_of(word);
        if (found == LineControl::none) continue;
        if (control != LineControl::none) {
            fault = {ControlFaultKind::second_control_word, word};
            return false;
        }
        control = found;
    }
    return true;
}

std::string_view control_fault_text(ControlFaultKind kind) {
    switch (kind) {
        case ControlFaultKind::second_control_word: return "a second line control word (one of B, E, C per point):";
        case ControlFaultKind::none: break;
    }
    return "";
}

}  // namespace app::linework
