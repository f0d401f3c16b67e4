// Connecting units to files and reading records by unit number. Every
// operation returns its failure as one value (io_result.h); the output side
// works on the connection a write statement holds (record_ops.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "io/io_result.h"

namespace io {

// status: "UNKNOWN" (use the file if it exists, create it empty if not).
IoResult open_unit(std::int32_t unit, std::string_view name, std::string_view status);
// Closing a unit that is not connected does nothing.
IoResult close_unit(std::int32_t unit);
// The unit's next input record, without its terminator and the carriage
// returns before it; valid until the next operation on the unit.
IoResult read_record(std::int32_t unit, std::string_view& record);
// Closes every connected unit in table order; a failing close is reported
// there (a severe report ends the process). Returns its number, or 0.
int close_all_units();

}  // namespace io
