#include "io/terminator.h"

namespace io {

std::optional<TerminatorKind> TerminatorRule::terminator_for(std::int32_t unit) const {
    for (std::size_t i = 0; i < range_count; ++i) {
        if (unit >= ranges[i].first && unit <= ranges[i].last) return listed_units;
    }
    return other_units;
}

namespace {

// Takes a terminator word followed by `mark` off the front of `text`.
std::optional<TerminatorKind> take_kind(std::string_view& text, char mark) {
    // "CRLF" before "CR", which is its prefix.
    static constexpr std::pair<std::string_view, TerminatorKind> kWords[] = {
        {"CRLF", TerminatorKind::crlf}, {"CR", TerminatorKind::cr}, {"LF", TerminatorKind::lf}};
    for (const auto& [word, kind] : kWords) {
        if (text.size() > word.size() && text.starts_with(word) && text[word.size()] == mark) {
            text.remove_prefix(word.size() + 1);
            return kind;
        }
    }
    return std::nullopt;
}

// Takes a unit number (digits only, at most 2147483647) off the front of `text`.
std::optional<std::int32_t> take_number(std::string_view& text) {
    std::int64_t value = 0;
    std::size_t used = 0;
    while (used < text.size() && text[used] >= '0' && text[used] <= '9') {
        value = value * 10 + (text[used] - '0');
        if (value > 2147483647) return std::nullopt;
        ++used;
    }
    if (used == 0) return std::nullopt;
    text.remove_prefix(used);
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<TerminatorRule> parse_terminator_rule(std::string_view text) {
    TerminatorRule rule;
    if (text == "CR" || text == "LF" || text == "CRLF") {
        rule.other_units = text == "CR" ? TerminatorKind::cr : text == "LF" ? TerminatorKind::lf : TerminatorKind::crlf;
        return rule;
    }
    rule.other_units = take_kind(text, ';');
    if (const auto listed = take_kind(text, ':')) rule.listed_units = *listed;

    // The list: n or n-m items separated by commas, never empty, never ending
    // in a separator, at most kMaxRanges of them.
    for (;;) {
        const auto first = take_number(text);
        if (!first) return std::nullopt;
        std::int32_t last = *first;
        if (text.starts_with('-')) {
            text.remove_prefix(1);
            const auto upper = take_number(text);
            if (!upper || *upper < *first) return std::nullopt;
            last = *upper;
        }
        if (rule.range_count == TerminatorRule::kMaxRanges) return std::nullopt;
        rule.ranges[rule.range_count++] = {*first, last};
        if (text.empty()) return rule;
        if (!text.starts_with(',')) return std::nullopt;
        text.remove_prefix(1);
    }
}

}  // namespace io
