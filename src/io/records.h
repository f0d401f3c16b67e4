// Connecting units to files and moving records between them. Every
// operation returns its failure as one value (io_result.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/io_result.h"

namespace io {

struct UnitConnection;

// status: "UNKNOWN" (use the file if it exists, create it empty if not).
IoResult open_unit(std::int32_t unit, std::string_view name, std::string_view status);
// Closing a unit that is not connected does nothing.
IoResult close_unit(std::int32_t unit);
// Makes the next input record current (record start/end of the connection).
IoResult read_record(std::int32_t unit);
// The current input record, without its terminator; empty when the unit is
// not connected. Valid until the next operation on the unit.
std::string_view current_record(std::int32_t unit);
IoResult extend_record(std::int32_t unit, std::size_t bytes);
IoResult write_record(std::int32_t unit);
// Closes every connected unit in table order; a failing close is reported
// there (a severe report ends the process). Returns its number, or 0.
int close_all_units();

}  // namespace io
