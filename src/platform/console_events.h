// Console events: the interrupt, quit and hang-up signals, taken on a thread
// of their own so that reporting them is ordinary code, not a signal handler.
#pragma once

namespace platform {

inline constexpr int kConsoleInterrupt = 0;  // control-C
inline constexpr int kConsoleBreak = 1;      // quit, the nearest thing to control-BREAK
inline constexpr int kConsoleClose = 2;      // hang-up: the terminal went away

// Returns false when the event is not handled; the signal then takes its
// default course.
using ConsoleEventHandler = bool (*)(int event_type);

// Blocks the three signals in the calling thread, so in every thread it
// starts later, and starts the thread that waits for them and calls
// `handler`. A signal the process inherited as ignored stays ignored. Call
// it before any other thread exists. Returns false (and leaves the signals
// as they were) when the thread cannot be started.
bool start_console_events(ConsoleEventHandler handler);

}  // namespace platform
