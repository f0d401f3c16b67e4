// Console events: control-C, control-BREAK and the closing of the console
// (on POSIX: the interrupt, quit and hang-up signals).
//
// An event only records itself where it arrives; the main thread acts on it
// at its next check: at a statement boundary, or in a blocking read or write
// that the event interrupted (the call returns from the system and checks).
// So no second thread ever touches the program's state, and no thread waits
// for events while the program runs. Where the platform delivers an event on
// a thread of its own (the Windows console handler), that thread records it,
// wakes a blocking call of the main thread where it can, and holds on until
// the main thread has ended the process.
#pragma once

namespace platform {

inline constexpr int kConsoleInterrupt = 0;  // control-C
inline constexpr int kConsoleBreak = 1;      // control-BREAK
inline constexpr int kConsoleClose = 2;      // the console went away

// Acts on an event, on the main thread; returns false when it does not
// handle it, and the event then takes the platform's default course.
using ConsoleEventAction = bool (*)(int event_type);

// Records console events from now on, for `action`. An event the process
// was started to ignore stays ignored. Returns false when the events cannot
// be watched: they keep their default course.
bool watch_console_events(ConsoleEventAction action);

// Acts on an event recorded since the watch began, once per process: a
// check made while the action runs, or after it, does nothing. One load when
// nothing is recorded. Not for the fault path.
void check_console_events();

// Events from now on are dropped, neither recorded nor given their default
// course: the process is already on its way out. Safe on the fault path.
void stop_console_events();

}  // namespace platform
