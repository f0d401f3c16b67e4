// How records end in a file, and the FOR_FMT_TERMINATOR rule that picks it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace io {

enum class TerminatorKind : std::uint8_t { crlf, lf, cr };

constexpr std::string_view terminator_bytes(TerminatorKind kind) {
    switch (kind) {
        case TerminatorKind::lf: return "\n";
        case TerminatorKind::cr: return "\r";
        case TerminatorKind::crlf: break;
    }
    return "\r\n";
}

// The byte that ends an input record.
constexpr char record_delimiter(TerminatorKind kind) { return kind == TerminatorKind::cr ? '\r' : '\n'; }

struct UnitRange {
    std::int32_t first = 0;
    std::int32_t last = 0;
};

struct TerminatorRule {
    static constexpr std::size_t kMaxRanges = 64;

    std::optional<TerminatorKind> other_units;  // units not in the list (or every unit)
    TerminatorKind listed_units = TerminatorKind::cr;
    std::array<UnitRange, kMaxRanges> ranges{};
    std::size_t range_count = 0;

    // The terminator the rule gives `unit`, if any.
    std::optional<TerminatorKind> terminator_for(std::int32_t unit) const;
};

// The rule in `text`, or nothing when the text has bad syntax.
std::optional<TerminatorRule> parse_terminator_rule(std::string_view text);

}  // namespace io
