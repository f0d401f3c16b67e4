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

#include <atomic>
#include <chrono>

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

namespace detail {
inline constexpr int kNoConsoleEvent = -1;
// The event waiting for the main thread; kNoConsoleEvent when none.
extern std::atomic<int> recorded_console_event;
void act_on_console_event();
}  // namespace detail

// Acts on an event recorded since the watch began, once per process: a
// check made while the action runs, or after it, does nothing. Inline, one
// load when nothing is recorded: every statement makes the check. Not for
// the fault path.
inline void check_console_events() {
    if (detail::recorded_console_event.load(std::memory_order_relaxed) != detail::kNoConsoleEvent) [[unlikely]]
        detail::act_on_console_event();
}

// How long after its effects an event may still arrive. A control-C to a
// pipeline ends the producer too, and the end of the input it causes can
// come before the event: a statement that fails on a pipe waits this long
// for an event before it reports the failure.
std::chrono::milliseconds console_event_lag();

// Returns once an event is recorded, or after `limit`.
void wait_for_console_event(std::chrono::milliseconds limit);

// Events from now on are dropped, neither recorded nor given their default
// course: the process is already on its way out. Safe on the fault path.
void stop_console_events();

}  // namespace platform
