#include "platform/console_events.h"

#include <pthread.h>
#include <signal.h>

namespace platform {
namespace {

constexpr int kEventSignals[] = {SIGINT, SIGQUIT, SIGHUP};

// Set once, before the waiting thread starts.
ConsoleEventHandler event_handler = nullptr;

sigset_t event_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kEventSignals) sigaddset(&set, signal);
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
    const sigset_t set = event_set();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (!event_handler(event_type_of(signal))) pass_on(signal);
    }
    return nullptr;
}

}  // namespace

bool start_console_events(ConsoleEventHandler handler) {
    const sigset_t set = event_set();
    sigset_t previous;
    if (pthread_sigmask(SIG_BLOCK, &set, &previous) != 0) return false;
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
