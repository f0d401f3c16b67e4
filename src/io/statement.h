// The end of a statement: a failure goes to the reporter, which for a severe
// number ends the process and never returns here.
#pragma once

#include "io/io_result.h"

namespace io {

// Reports a failed statement (number not 0); returns its number when the
// report returned.
int report_statement_failure(IoResult failure);

// Returns the statement's number when it is 0 or when the report returned.
// Inline: every record of the output passes here, and nearly all of them
// with 0.
inline int finish_statement(IoResult result) {
    if (result.ok()) [[likely]] return 0;
    return report_statement_failure(result);
}

}  // namespace io
