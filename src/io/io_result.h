// What an operation of the record layer returns: its failure as one value.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace io {

struct IoResult {
    int number = 0;          // run-time error number; 0 for success
    std::int32_t unit = 0;   // the unit the operation was on
    // The platform's code of the system call that failed, for the report's
    // extra line; 0 when no system call failed or its code is not shown.
    // A full word: with 12 bytes in all, the compiler passes every result of
    // a write statement through memory instead of two registers.
    std::uint64_t system_error = 0;

    constexpr bool ok() const { return number == 0; }
};

}  // namespace io
