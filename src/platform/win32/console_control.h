// The console control handler the system calls, one thread per event.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Records control-C, control-BREAK and close for the main thread and never
// returns; any other control event is declined (FALSE). Tests call it
// directly for the events a test cannot make the system send.
BOOL WINAPI on_console_control(DWORD control);

// Marks the main thread's read or write for the length of the system call.
// The console handler ends the process itself when the main thread stays in
// such a call past a bound (a read Wine cannot cancel): the mark tells it
// that the main thread is where it touches no unit. Leaving the call checks
// for an event first, so the main thread never goes on with its statement
// once the handler has taken the event.
class TransferMark {
public:
    TransferMark();
    ~TransferMark();
    TransferMark(const TransferMark&) = delete;
    TransferMark& operator=(const TransferMark&) = delete;
};

}  // namespace platform::win32
