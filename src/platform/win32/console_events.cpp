// Console events on Windows. The system calls the control handler on a
// thread of its own, one per event: that thread records the event, wakes a
// blocking read or write of the main thread, and holds on, so that the
// system's default handling (which ends the process as soon as the handler
// returns) does not come before the main thread's report.
//
// A process started with control-C ignored (a new process group) is never
// called for it: the system keeps that choice without our help.
#include "platform/console_events.h"

#include <windows.h>

#include "platform/common/console_event_record.h"
#include "platform/win32/console_control.h"

namespace platform {
namespace {

// The thread whose statements act on events; set once, before the handler
// is installed.
HANDLE main_thread = nullptr;

int event_type_of(DWORD control) {
    switch (control) {
        case CTRL_C_EVENT: return kConsoleInterrupt;
        case CTRL_BREAK_EVENT: return kConsoleBreak;
        case CTRL_CLOSE_EVENT: return kConsoleClose;
        default: return detail::kNoConsoleEvent;
    }
}

}  // namespace

namespace win32 {

BOOL WINAPI on_console_control(DWORD control) {
    const int event_type = event_type_of(control);
    if (event_type == detail::kNoConsoleEvent) return FALSE;  // log-off and shut-down: not ours
    record_console_event(event_type);
    // A read or write the main thread is blocked in fails as cancelled and
    // checks; where the system cannot cancel it, the check comes when the
    // call returns.
    if (main_thread != nullptr) ::CancelSynchronousIo(main_thread);
    // The process ends on the main thread; this one only waits for that.
    // An event that came while the process was already ending ends with it.
    for (;;) ::Sleep(INFINITE);
}

}  // namespace win32

// What the system does when no handler takes the event.
void pass_on_console_event(int /*event_type*/) { ::ExitProcess(STATUS_CONTROL_C_EXIT); }

bool watch_console_events(ConsoleEventAction action) {
    set_console_event_action(action);
    // Cancelling the thread's calls needs a real handle with the right to end it.
    if (main_thread == nullptr &&
        !::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &main_thread,
                           THREAD_TERMINATE, FALSE, 0))
        main_thread = nullptr;
    return ::SetConsoleCtrlHandler(win32::on_console_control, TRUE) != FALSE;
}

}  // namespace platform
