#include "platform/console_events.h"

#include <windows.h>

namespace platform {
namespace {

// Set once, before the handler is installed.
ConsoleEventHandler event_handler = nullptr;

// The system calls this on a thread of its own, one per event.
BOOL WINAPI on_control_event(DWORD event_type) {
    switch (event_type) {
        case CTRL_C_EVENT: return event_handler(kConsoleInterrupt) ? TRUE : FALSE;
        case CTRL_BREAK_EVENT: return event_handler(kConsoleBreak) ? TRUE : FALSE;
        case CTRL_CLOSE_EVENT: return event_handler(kConsoleClose) ? TRUE : FALSE;
        default: return FALSE;
    }
}

}  // namespace

bool start_console_events(ConsoleEventHandler handler) {
    event_handler = handler;
    return ::SetConsoleCtrlHandler(on_control_event, TRUE) != FALSE;
}

}  // namespace platform
