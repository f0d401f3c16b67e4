// The console control handler the system calls, one thread per event.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Records control-C, control-BREAK and close for the main thread and never
// returns; any other control event is declined (FALSE). Tests call it
// directly for the events a test cannot make the system send.
BOOL WINAPI on_console_control(DWORD control);

}  // namespace platform::win32
