#include "platform/console_events.h"

#include <signal.h>

#include <atomic>

namespace platform {
namespace {

constexpr int kEventSignals[] = {SIGINT, SIGQUIT, SIGHUP};
constexpr int kNoEvent = -1;

// Set once, before the handlers are installed.
ConsoleEventAction event_action = nullptr;

// The first event that arrived, until it is acted on. Lock-free, so the
// handler may store it.
std::atomic<int> recorded{kNoEvent};
std::atomic<bool> acting{false};
std::atomic<bool> stopped{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

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

// The handler only records: async-signal-safe. A later event while one is
// pending adds nothing.
void record_event(int signal) {
    if (stopped.load(std::memory_order_relaxed)) return;
    int none = kNoEvent;
    recorded.compare_exchange_strong(none, event_type_of(signal), std::memory_order_release,
                                     std::memory_order_relaxed);
}

// Passes an event on: the signal's default action.
void pass_on(int signal) {
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

}  // namespace

bool watch_console_events(ConsoleEventAction action) {
    event_action = action;
    struct sigaction handler {};
    handler.sa_handler = record_event;
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

void check_console_events() {
    if (recorded.load(std::memory_order_relaxed) == kNoEvent) [[likely]] return;
    if (stopped.load(std::memory_order_acquire) || acting.exchange(true, std::memory_order_acq_rel)) return;
    const int event_type = recorded.load(std::memory_order_acquire);
    if (event_action == nullptr || !event_action(event_type)) pass_on(signal_of(event_type));
}

void stop_console_events() { stopped.store(true, std::memory_order_release); }

}  // namespace platform
