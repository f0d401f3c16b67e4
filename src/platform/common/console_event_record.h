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

// The event's default course, for an event the action declines; provided by
// each backend.
void pass_on_console_event(int event_type);

}  // namespace platform
