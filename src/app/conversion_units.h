// What every conversion does the same way around its reading and writing:
// the run's floating-point and locking set-up, and its two units.
#pragma once

#include <cstdint>
#include <string_view>

#include "io/open_close_unit.h"
#include "platform/files.h"
#include "platform/terminal.h"

namespace app {

inline constexpr std::int32_t kInputUnit = 10;
inline constexpr std::int32_t kOutputUnit = 20;
inline constexpr std::int32_t kCodesUnit = 11;

// Before the first I/O statement.
void prepare_conversion();

// Connects `unit` to the file `name`; the standard-stream name makes it take
// `stream` over instead, shown as `shown`. A failure ends the run.
void connect_unit(std::int32_t unit, std::string_view name, platform::StandardStream stream, std::string_view shown,
                  platform::Missing missing, const io::BufferingDefaults& buffering = {});
void disconnect_unit(std::int32_t unit);

// The input and the output of a run, by the names the command line gave;
// a missing input is created only where `missing` says so.
void connect_input(std::string_view name, platform::Missing missing);
void connect_output(std::string_view name, const io::BufferingDefaults& buffering = {});

}  // namespace app
