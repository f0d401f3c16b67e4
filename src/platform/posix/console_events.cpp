#include "platform/console_events.h"

#include <pthread.h>
#include <signal.h>

namespace platform {
namespace {

constexpr int kEventSignals[] = {SIGINT, SIGQUIT, SIGHUP};

// Set once, before the waiting thread starts.
ConsoleEventHandler event_handler = nullptr;
sigset_t waited_set;

// The events whose signals the process did not inherit as ignored: whoever
// started it with a signal ignored (nohup, a background job of a script)
// asked for that signal not to end it, and an event must not undo that.
sigset_t event_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kEventSignals) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        sigaddset(&set, signal);
    }
    return set;
}

int event_type_of(int signal) {
    switch (signal) {
        case SIGINT: return kConsoleInterrupt;
        case SIGQUIT: return kConsoleBreak;
        default: return kConsoleClose;
    }
}

// Passes an event on: the signal's default action, delivered to this thread.
void pass_on(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal);
}

void* wait_for_events(void*) {
    for (;;) {
        int signal = 0;
        if (sigwait(&waited_set, &signal) != 0) continue;
        if (!event_handler(event_type_of(signal))) pass_on(signal);
    }
    return nullptr;
}

}  // namespace

bool start_console_events(ConsoleEventHandler handler) {
    waited_set = event_set();
    sigset_t previous;
    if (pthread_sigmask(SIG_BLOCK, &waited_set, &previous) != 0) return false;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    event_handler = handler;
    pthread_t thread;
    const int started = pthread_create(&thread, &attr, wait_for_events, nullptr);
    pthread_attr_destroy(&attr);
    if (started != 0) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return false;
    }
    return true;
}

}  // namespace platform
