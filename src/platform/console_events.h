// Console events: control-C, control-BREAK and the closing of the console
// (on POSIX: the interrupt, quit and hang-up signals).
#pragma once

namespace platform {

inline constexpr int kConsoleInterrupt = 0;  // control-C
inline constexpr int kConsoleBreak = 1;      // control-BREAK
inline constexpr int kConsoleClose = 2;      // the console went away

// Returns false when the event is not handled; it then takes the platform's
// default course.
using ConsoleEventHandler = bool (*)(int event_type);

// Has `handler` called for every console event, on a thread of the
// platform's. An event the process was started to ignore stays ignored.
// Call it before any other thread exists. Returns false (and leaves the
// events as they were) when that cannot be arranged.
bool start_console_events(ConsoleEventHandler handler);

}  // namespace platform
