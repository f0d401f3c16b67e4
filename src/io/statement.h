// The end of a statement: a failure goes to the reporter, which for a severe
// number ends the process and never returns here.
#pragma once

#include <cstdint>

namespace io {

// Reports a failed statement's `number` (not 0); returns it when the report returned.
int report_statement_failure(int number, std::int32_t unit);

// Returns `number` when it is 0 or when the report returned. Inline: every
// record of the output passes here, and nearly all of them with 0.
inline int finish_statement(int number, std::int32_t unit) {
    if (number == 0) [[likely]] return 0;
    return report_statement_failure(number, unit);
}

}  // namespace io
