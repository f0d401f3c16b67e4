#include "platform/console_events.h"

#include <signal.h>

#include <atomic>

#include "platform/common/console_event_record.h"

namespace platform {
namespace {

// SIGTERM (what `timeout`, a service manager or a shut-down sends) is a
// request to end, as the closing of the console is: acted on at the next
// statement, so that the output ends on whole records.
constexpr int kEventSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};

int event_type_of(int signal) {
    switch (signal) {
        case SIGINT: return kConsoleInterrupt;
        case SIGQUIT: return kConsoleBreak;
        default: return kConsoleClose;
    }
}

// The signal behind the recorded event: the close event has two. Written
// by the handler that records the event, before it does.
std::atomic<int> recorded_signal{SIGHUP};

// The handler only records: async-signal-safe.
void on_event_signal(int signal) {
    if (detail::recorded_console_event.load(std::memory_order_relaxed) == detail::kNoConsoleEvent)
        recorded_signal.store(signal, std::memory_order_relaxed);
    record_console_event(event_type_of(signal));
}

int signal_of(int event_type) {
    switch (event_type) {
        case kConsoleInterrupt: return SIGINT;
        case kConsoleBreak: return SIGQUIT;
        default: return recorded_signal.load(std::memory_order_relaxed);
    }
}

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

// A terminal sends its signal to the whole process group in one pass, and
// every member has it pending before any can have died of it: the event is
// recorded before a pipe's end shows.
std::chrono::milliseconds console_event_lag() { return std::chrono::milliseconds{0}; }

bool watch_console_events(ConsoleEventAction action) {
    set_console_event_action(action);
    struct sigaction handler {};
    handler.sa_handler = on_event_signal;
    // No SA_RESTART: a blocking read or write the event interrupts returns
    // (EINTR) and checks, instead of going on waiting for its data.
    handler.sa_flags = 0;
    // One event's handler at a time: the record and its signal stay a pair.
    sigemptyset(&handler.sa_mask);
    for (int signal : kEventSignals) sigaddset(&handler.sa_mask, signal);
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
