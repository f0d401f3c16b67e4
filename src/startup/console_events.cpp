#include "startup/console_events.h"

#include "platform/console_events.h"
#include "platform/process.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"
#include "startup/lifecycle.h"

namespace rt {
namespace {

const char* event_name(int event_type) {
    switch (event_type) {
        case 0: return "control-C";
        case 1: return "control-BREAK";
        case 2: return "window-CLOSE";
        default: return nullptr;
    }
}

}  // namespace

int console_event_exit_status(int event_type) { return event_type == 0 ? err::kConsoleEvent : event_type; }

bool on_console_event(int event_type) {
    // The program installs no handler of its own for these signals, so none
    // can take precedence over this one.
    const char* name = event_name(event_type);
    if (name == nullptr) return false;
    // One report whatever comes next: a second event, or a check made while
    // the units are closed, finds the events stopped.
    platform::stop_console_events();
    report_error(err::kConsoleEvent, 1, name);
    for_exit_handler();
    platform::exit_process(console_event_exit_status(event_type));
}

}  // namespace rt
