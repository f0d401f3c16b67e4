// Standard error, the debugger, and ending the process.
#pragma once

#include <span>

namespace platform {

// One raw write of the bytes to the standard-error handle, bypassing any stream.
bool write_standard_error(std::span<const char> bytes);
// Reopens the standard-error stream for appending on `path`; false leaves it as it was.
bool reopen_standard_error(const char* path);
// Appends the bytes to `path` (created if missing) with one write and no
// stream; false when the file cannot be opened or written.
bool append_to_file(const char* path, std::span<const char> bytes);

bool debugger_present();
// Stops in an attached debugger (a breakpoint trap).
void debug_break();

// Normal end: exit routines run and the standard streams are flushed.
[[noreturn]] void exit_process(int status);
// Abnormal end through the platform's abort.
[[noreturn]] void abort_process();

}  // namespace platform
