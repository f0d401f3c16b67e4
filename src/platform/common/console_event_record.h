// What the backends share of console events: the record an event leaves,
// and acting on it once on the main thread. Each backend installs its own
// handler, which calls record_console_event, and knows the default course
// of an event the action declines.
#pragma once

#include "platform/console_events.h"

namespace platform {

void set_console_event_action(ConsoleEventAction action);

// Records an event unless one is waiting or events were stopped. Safe in a
// signal handler and on any thread: one compare-and-swap.
void record_console_event(int event_type);

// Whether a thread has taken the recorded event to act on it.
bool console_event_taken();

// For a backend whose events come on a thread of their own: acts on the
// recorded event on this thread, for a main thread that cannot come to its
// check because it waits in a call the system cannot break off. Safe only
// while the main thread is inside such a call, holding the unit it works on
// busy (the unit pass skips it): when the call returns, its check waits for
// the end of the process and touches nothing. Returns when the main thread
// took the event first, or events were stopped.
void act_on_console_event_here();

// The event's default course, for an event the action declines; provided by
// each backend.
void pass_on_console_event(int event_type);

}  // namespace platform
