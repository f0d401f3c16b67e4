#include "platform/testing.h"

#include <stdlib.h>
#include <windows.h>

namespace platform::testing {

// Through the run-time, not SetEnvironmentVariableA: getenv reads the
// run-time's own copy of the environment, which that call does not update.
void set_environment_variable(const char* name, const char* value) {
    ::_putenv_s(name, value == nullptr ? "" : value);
}

// The run-time's abort ends the process with status 3.
bool ended_by_abort(int status) { return status == 3; }

// An unhandled exception ends the process with its code as the status.
bool ended_by_breakpoint(int status) { return static_cast<DWORD>(status) == EXCEPTION_BREAKPOINT; }

// The test framework reads a captured stream back in text mode.
std::string_view captured_raw_crlf() { return "\n"; }

}  // namespace platform::testing
