// The numbered messages of the run-time layer and their severities.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace rt {

enum Severity : std::int32_t {
    severity_success = 0,
    severity_info = 1,
    severity_warning = 2,
    severity_error = 3,
    severity_severe = 4,
};

struct CatalogueEntry {
    std::int32_t number;
    std::int32_t severity;
    const char* text;  // printf format; inserts as the text asks
};

// Indexed by severity; "%i" takes the error number.
inline constexpr std::array<const char*, 5> SeverityPrefix = {
    "forrtl: ",
    "forrtl: info (%i): ",
    "forrtl: warning (%i): ",
    "forrtl: error (%i): ",
    "forrtl: severe (%i): ",
};

// Numbers are looked up modulo 65536.
constexpr std::int32_t catalogue_number(int number) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number) & 0xFFFFu);
}

// The row of `number` (taken modulo 65536), its number field set to that
// value. A number without a row comes back severe with the text of 500.
// Safe on the fault path.
CatalogueEntry lookup_error(int number);

// The rows themselves, ascending by number (exposed for checks over the table).
std::span<const CatalogueEntry> error_catalogue();

}  // namespace rt
