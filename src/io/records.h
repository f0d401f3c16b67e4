// Connecting units to files and moving records between them.
// Every operation returns a run-time error number, 0 for success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/terminal.h"

namespace io {

struct UnitConnection;

// status: "UNKNOWN" (use the file if it exists, create it empty if not).
int open_unit(std::int32_t unit, std::string_view name, std::string_view status);
// Connects `unit` to standard input or output as it stands: nothing is opened,
// created or cut, and messages name it `shown_name`.
int open_standard_unit(std::int32_t unit, platform::StandardStream stream, std::string_view shown_name);
int close_unit(std::int32_t unit);
// Makes the next input record current (record start/end of the connection).
int read_record(std::int32_t unit);
// The current input record, without its terminator; empty when the unit is
// not connected. Valid until the next operation on the unit.
std::string_view current_record(std::int32_t unit);
int extend_record(std::int32_t unit, std::size_t bytes);
int write_record(std::int32_t unit);
// Closes every connected unit in table order; stops at the first failing close.
int close_all_units();

}  // namespace io
