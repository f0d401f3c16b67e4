// The end of a statement: a failure goes to the reporter, which for a severe
// number ends the process and never returns here.
#pragma once

#include <cstdint>

namespace io {

// Returns `number` when it is 0 or when the report returned.
int finish_statement(int number, std::int32_t unit);

}  // namespace io
