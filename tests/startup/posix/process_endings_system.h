// What the process-endings table needs from POSIX: how a console event
// comes (a signal while the driver blocks in a read), how a fault nobody
// handles ends (the signal kills the process), what stands in for error
// dialogs (core dumps), and the traceback's columns on x86-64.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string_view>

#include "platform/files.h"
#include "support/blocked_read.h"

namespace endings_system {

inline constexpr const char* kDeathTestStyle = "fast";

inline constexpr std::string_view kImage = "startup_tests";
inline constexpr std::string_view kTerseHeader =
    "Image              PC            Routine            Line        Source             \n";
// This backend names no source file in the faulting routine's own row
// (its line is not found); the row's other columns are still checked.
inline constexpr std::string_view kFaultingSource = "";

// The verbose report's register lines, hexadecimal words written as "#".
inline constexpr std::string_view kRegisterLines[] = {
    "\nCS:  #  RIP:  #  SS:   #  RSP:  #  RBP:  #\n\n",
    "\nRAX: #  RBX:  #  RCX:  #  RDX:  #\nRSI: #  RDI:  #\nR8:  #  R9:   #  R10:  #  R11:  #\n"
    "R12: #  R13:  #  R14:  #  R15:  #\n\n",
    "  MXCSR:   #\n",
};

inline rlimit g_core_limit_at_start{};

// A run that hangs ends the child instead of the suite.
inline void prepare_child() {
    alarm(20);
    getrlimit(RLIMIT_CORE, &g_core_limit_at_start);
}

// Blocks in a read that never completes; the signal comes to the process
// meanwhile, as a terminal or a service manager would send it.
[[gnu::noinline]] [[noreturn]] inline void await_event(int signal) {
    int ends[2];
    if (pipe(ends) != 0) _exit(99);
    test_support::signal_when_reading(signal);
    char byte;
    platform::read_file(ends[0], {&byte, 1});
    _exit(98);  // the event did not end the run
}

inline void control_c() { await_event(SIGINT); }
inline void control_break() { await_event(SIGQUIT); }
inline void hang_up() { await_event(SIGHUP); }
// A request to end (timeout, a service manager, a shut-down).
inline void end_request() { await_event(SIGTERM); }

// A bus-error signal aimed at this thread by the program itself is no
// processor fault: the fault table has no row for it.
inline void unlisted_fault() { raise(SIGBUS); }
inline constexpr std::string_view kUnlistedFaultCode = "0x7fa (2042)";

inline bool ended_by_access_violation(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV; }

// Core dumps stand for the error dialogs; a limit of none at all for good
// leaves nothing to turn off.
inline bool error_dialogs_can_be_allowed() {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    return limit.rlim_max != 0;
}

inline void allow_error_dialogs() {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_CORE, &limit);
}

inline bool error_dialogs_off() {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    return limit.rlim_cur == 0;
}

inline bool error_dialogs_as_at_start() {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    return limit.rlim_cur == g_core_limit_at_start.rlim_cur;
}

}  // namespace endings_system
