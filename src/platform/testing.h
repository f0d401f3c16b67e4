// Test-only hook: make a chosen platform call fail, so that failures a
// healthy machine never shows (a full disk, a failing close, no memory) can
// be driven from tests. A failure is named by its category, so one test
// serves every backend: each knows its own code for the category.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace platform::testing {

enum class Syscall : std::uint8_t {
    open,
    read,
    write,
    cut,   // truncate_here
    seek,  // finding the position truncate_here cuts at
    close,
    file_type,  // the disk-file and directory checks
    current_directory,
    heap,   // heap_allocate and heap_reallocate
    pages,  // pages_allocate
    count_,
};

// The backend's own code for a category (0 for none; end_of_file may have
// none, and a read then fails by returning no bytes).
SystemError system_code(ErrorCategory category);

// The `nth` call from now (1 = the next one) fails with the category's code;
// with `persistent`, every call from that one on fails.
void fail_syscall(Syscall call, int nth, ErrorCategory category, bool persistent = false);
// The same with a code of the backend's own, for tests of one backend.
void fail_syscall_with_code(Syscall call, int nth, SystemError code, bool persistent = false);
// The `nth` write from now transfers at most `bytes` bytes and reports that
// count without an error, as a nearly full disk or a file-size limit does.
void shorten_write(int nth, std::size_t bytes);
// Runs `action(context)` on the thread that makes the `nth` call of the kind
// from now, just before the call (and before a failure armed for it): what
// happens while a call is under way, such as a file swapped in during an
// open or an event that comes during a read.
using SyscallAction = void (*)(void* context);
void before_syscall(Syscall call, int nth, SyscallAction action, void* context);
// Every call succeeds again, every write is whole, and no action is armed.
void clear_syscall_failures();

// Whether the backend makes this kind of call at all: Windows cuts a file
// where its handle stands, without asking for the position.
bool makes_call(Syscall call);

// The names of the process's environment variables.
std::vector<std::string> environment_names();

// Runs this same program again as a child with `arguments` (after its own
// name), in `directory`, its standard error on the file `error_path` and its
// standard input and output on the null device, and waits at most a minute
// for it. Returns its exit status (0 to 255 on POSIX, the full number on
// Windows), or -1 when it could not be started, ended by a signal or an
// unhandled exception, or ran out of time.
int run_this_program(std::span<const std::string> arguments, const std::string& directory,
                     const std::string& error_path);

// Sets `name` to `value` where the C run-time's getenv sees it; a null value
// removes it. Windows' run-time cannot hold an empty value: "" removes the
// variable there.
void set_environment_variable(const char* name, const char* value);

// Predicates over the status a death test sees for its child: the
// platform's abnormal end (abort), and a breakpoint trap nothing handled.
bool ended_by_abort(int status);
bool ended_by_breakpoint(int status);

// How a CR LF written raw to standard error reads in a death test's captured
// text: a run-time with a text mode reads it back as LF.
std::string_view captured_raw_crlf();

// A backend's own code, where a test needs one the categories do not name.
struct RawCode {
    SystemError code;
};

// Clears the failures when a test scope ends.
class ScopedSyscallFailure {
public:
    ScopedSyscallFailure(Syscall call, int nth, ErrorCategory category, bool persistent = false) {
        fail_syscall(call, nth, category, persistent);
    }
    ScopedSyscallFailure(Syscall call, int nth, RawCode code, bool persistent = false) {
        fail_syscall_with_code(call, nth, code.code, persistent);
    }
    ~ScopedSyscallFailure() { clear_syscall_failures(); }
    ScopedSyscallFailure(const ScopedSyscallFailure&) = delete;
    ScopedSyscallFailure& operator=(const ScopedSyscallFailure&) = delete;
};

}  // namespace platform::testing
