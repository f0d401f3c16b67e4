// Console events: control-C, control-BREAK and the closing of the console.
#pragma once

namespace rt {

// The exit status after an event: control-C ends with 200, the number of the
// report it prints, so that a caller does not take an interrupted run for a
// successful one; control-BREAK and window-CLOSE end with their event type.
int console_event_exit_status(int event_type);

// Reports error 200 with the event's name and the traceback of where the
// driver stood, runs termination's unit pass and ends the process. Runs on
// the main thread, at the check after the event arrived. Returns false (not
// handled) for an event type it does not know.
bool on_console_event(int event_type);

}  // namespace rt
