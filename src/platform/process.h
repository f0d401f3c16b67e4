// Standard error, the debugger, and the ends of the process. Each function
// says whether the fault path (a fault filter, a console event's record) may
// call it.
#pragma once

#include <span>

namespace platform {

// One raw write of the bytes to the standard-error handle, bypassing any
// stream. Safe on the fault path.
bool write_standard_error(std::span<const char> bytes);
// The bytes through the standard-error stream: where the platform has a text
// mode, each line feed reaches the console or file as CR LF. Not for the
// fault path.
bool write_standard_error_stream(std::span<const char> bytes);
// The paths below are UTF-8, as the environment gives them (environment.h).
//
// Reopens standard error for appending on `path`; false leaves it as it
// was. Safe on the fault path.
bool reopen_standard_error(const char* path);
// Appends the bytes to `path` (created if missing) with one write and no
// stream; false when the file cannot be opened or written. Safe on the fault path.
bool append_to_file(const char* path, std::span<const char> bytes);
// The same through the stream library's append mode (text mode where the
// platform has one). Not for the fault path.
bool append_to_file_stream(const char* path, std::span<const char> bytes);

// The bytes as the stream functions above would put them (where the platform
// has a text mode, each line feed as CR LF), but through raw writes alone:
// a fault's report looks like any other. Safe on the fault path.
bool write_standard_error_text(std::span<const char> bytes);
bool append_to_file_text(const char* path, std::span<const char> bytes);

// Safe on the fault path.
bool debugger_present();
// Stops in an attached debugger (a breakpoint trap). Safe on the fault path.
void debug_break();

// Clears the calling thread's last system error code.
void clear_last_error();

// The exit status the platform can carry for a report's number: a number
// wider than the status is given as the largest status instead of wrapping
// to an unrelated one.
int exit_status_for(int number);

// Normal end: exit routines run and the standard streams are flushed. Not
// for the fault path.
[[noreturn]] void exit_process(int status);
// Immediate end: no exit routines, no stream flushing. Safe on the fault path.
[[noreturn]] void end_process_now(int status);
// Abnormal end through the platform's abort. Safe on the fault path.
[[noreturn]] void abort_process();

}  // namespace platform
