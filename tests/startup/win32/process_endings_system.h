// What the process-endings table needs from Windows: how a console event
// comes (the system's handler thread, while the driver goes on with its
// statements), how a fault nobody handles ends (its exception code as the
// status), the error mode, and the traceback's columns on 32-bit x86.
//
// The test framework re-runs the test program for each child and reads its
// standard error back in text mode.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "platform/console_events.h"
#include "platform/win32/console_control.h"

namespace endings_system {

inline constexpr const char* kDeathTestStyle = "threadsafe";

inline constexpr std::string_view kImage = "startup_tests.exe";
inline constexpr std::string_view kTerseHeader =
    "Image              PC        Routine            Line        Source             \n";
inline constexpr std::string_view kFaultingSource = "faulting_code.h";

// The verbose report's register lines, hexadecimal words written as "#".
inline constexpr std::string_view kRegisterLines[] = {
    "\nCS:  #  EIP:  #  SS:   #  ESP:  #  EBP:  #\n\n",
    "\nEAX: #  EBX:  #  ECX:  #  EDX:  #\nESI: #  EDI:  #\n\n",
    "\nMXCSR:   #",
};

inline UINT g_error_mode_at_start = 0;

inline void prepare_child() { g_error_mode_at_start = ::GetErrorMode(); }

// The system calls the console control handler on a thread of its own; the
// driver goes on with its statements, each a check, until the event ends it.
inline DWORD WINAPI deliver_control(void* control) {
    return platform::win32::on_console_control(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(control)));
}

[[gnu::noinline]] [[noreturn]] inline void await_event(DWORD control) {
    ::CreateThread(nullptr, 0, deliver_control, reinterpret_cast<void*>(std::uintptr_t{control}), 0, nullptr);
    for (;;) {
        platform::check_console_events();
        ::Sleep(1);
    }
}

inline void control_c() { await_event(CTRL_C_EVENT); }
inline void control_break() { await_event(CTRL_BREAK_EVENT); }
inline void hang_up() { await_event(CTRL_CLOSE_EVENT); }
// A console program is asked to end by the closing of its window; log-off
// and shut-down go to services and are declined.
inline void end_request() { await_event(CTRL_CLOSE_EVENT); }

inline void unlisted_fault() { ::RaiseException(0xE0001234, 0, 0, nullptr); }
inline constexpr std::string_view kUnlistedFaultCode = "0x1234 (4660)";

inline bool ended_by_access_violation(int status) {
    return static_cast<DWORD>(status) == EXCEPTION_ACCESS_VIOLATION;
}

inline bool error_dialogs_can_be_allowed() { return true; }
inline void allow_error_dialogs() { ::SetErrorMode(0); }
inline bool error_dialogs_off() {
    return ::GetErrorMode() == (SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}
inline bool error_dialogs_as_at_start() { return ::GetErrorMode() == g_error_mode_at_start; }

}  // namespace endings_system
