// Connecting units to files and disconnecting them. Every operation returns
// its failure as one value (io_result.h). Records move on the connection a
// statement holds (read_write_record.h); the scanner reads through
// UnitRecordSource.
#pragma once

#include <cstdint>
#include <string_view>

#include "io/io_result.h"
#include "platform/terminal.h"

namespace io {

// How a unit writes when FORT_BUFFERED and FORT_BLOCKSIZE leave it to the
// program: the classic way (each record at once) unless told otherwise.
struct BufferingDefaults {
    bool buffered = false;
    std::uint32_t block_size = 0;  // 0: the classic block
};

// Uses the file if it exists; a missing one is created empty, or with
// Missing::fail is a failure (29, file not found) and nothing is created.
IoResult open_unit(std::int32_t unit, std::string_view name, platform::Missing missing,
                   const BufferingDefaults& defaults = {});
// Connects `unit` to standard input or output as it stands: nothing is opened,
// created or cut, and messages name it `shown_name`.
IoResult open_standard_unit(std::int32_t unit, platform::StandardStream stream, std::string_view shown_name);
// Closing a unit that is not connected does nothing.
IoResult close_unit(std::int32_t unit);
// Closes every connected unit in table order; a failing close is reported
// there (a severe report ends the process). Returns its number, or 0.
int close_all_units();

}  // namespace io
