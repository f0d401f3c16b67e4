#include "platform/console_events.h"

#include <signal.h>

#include "platform/common/console_event_record.h"

namespace platform {
namespace {

constexpr int kEventSignals[] = {SIGINT, SIGQUIT, SIGHUP};

int event_type_of(int signal) {
    switch (signal) {
        case SIGINT: return kConsoleInterrupt;
        case SIGQUIT: return kConsoleBreak;
        default: return kConsoleClose;
    }
}

int signal_of(int event_type) {
    switch (event_type) {
        case kConsoleInterrupt: return SIGINT;
        case kConsoleBreak: return SIGQUIT;
        default: return SIGHUP;
    }
}

// The handler only records: async-signal-safe.
void on_event_signal(int signal) { record_console_event(event_type_of(signal)); }

}  // namespace

// The signal's default action.
void pass_on_console_event(int event_type) {
    const int signal = signal_of(event_type);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    sigprocmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal);
}

bool watch_console_events(ConsoleEventAction action) {
    set_console_event_action(action);
    struct sigaction handler {};
    handler.sa_handler = on_event_signal;
    // No SA_RESTART: a blocking read or write the event interrupts returns
    // (EINTR) and checks, instead of going on waiting for its data.
    handler.sa_flags = 0;
    sigemptyset(&handler.sa_mask);
    sigset_t watched;
    sigemptyset(&watched);
    bool all = true;
    for (int signal : kEventSignals) {
        struct sigaction current {};
        // Whoever started the process with a signal ignored (nohup, a
        // background job of a script) asked for it not to end it.
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        if (sigaction(signal, &handler, nullptr) != 0) {
            all = false;
            continue;
        }
        sigaddset(&watched, signal);
    }
    // Taken even if the process was started with them blocked; one that
    // arrived before is delivered now and recorded.
    sigprocmask(SIG_UNBLOCK, &watched, nullptr);
    return all;
}

}  // namespace platform
