#include "platform/common/console_event_record.h"

#include <thread>

namespace platform {
namespace {

// Set once, before the handler is installed.
ConsoleEventAction event_action = nullptr;

// Who acts on the event: nobody yet, the thread that checks (the main
// thread), or the thread the event came on (see act_on_console_event_here).
enum Actor : int { kNobody, kChecker, kEventThread };
std::atomic<int> actor{kNobody};
// Set on the thread that acts, so that its own checks (the unit pass closes
// units) pass through.
thread_local bool acting_here = false;
std::atomic<bool> stopped{false};

// Takes the event for this thread as `who`; false when another took it.
bool claim(Actor who) {
    int nobody = kNobody;
    if (!actor.compare_exchange_strong(nobody, who, std::memory_order_acq_rel)) return false;
    acting_here = true;
    return true;
}

void act(int event_type) {
    if (event_action == nullptr || !event_action(event_type)) pass_on_console_event(event_type);
}

// The process ends on another thread: this one waits for that, touching nothing.
[[noreturn]] void wait_for_the_end() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours{1});
}
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler stores the record");

}  // namespace

namespace detail {

std::atomic<int> recorded_console_event{kNoConsoleEvent};

void act_on_console_event() {
    if (!claim(kChecker)) {
        // The event's thread ends the process while this one could not come
        // to its check: it must not go on with its statement.
        if (actor.load(std::memory_order_acquire) == kEventThread && !acting_here) wait_for_the_end();
        return;
    }
    if (stopped.load(std::memory_order_acquire)) return;
    act(recorded_console_event.load(std::memory_order_acquire));
}

}  // namespace detail

bool console_event_taken() { return actor.load(std::memory_order_acquire) != kNobody; }

void act_on_console_event_here() {
    if (!claim(kEventThread) || stopped.load(std::memory_order_acquire)) return;
    act(detail::recorded_console_event.load(std::memory_order_acquire));
}

void set_console_event_action(ConsoleEventAction action) { event_action = action; }

void record_console_event(int event_type) {
    if (stopped.load(std::memory_order_relaxed)) return;
    int none = detail::kNoConsoleEvent;
    // Sequentially consistent: the Windows handler looks at the main
    // thread's transfer mark after it, and the main thread at the record
    // after clearing the mark.
    detail::recorded_console_event.compare_exchange_strong(none, event_type, std::memory_order_seq_cst,
                                                           std::memory_order_relaxed);
}

void wait_for_console_event(std::chrono::milliseconds limit) {
    // Short steps: the wait is on a failure's path only, and ends as soon
    // as the event is there.
    constexpr std::chrono::milliseconds kStep{5};
    for (std::chrono::milliseconds waited{0}; waited < limit; waited += kStep) {
        if (detail::recorded_console_event.load(std::memory_order_acquire) != detail::kNoConsoleEvent) return;
        std::this_thread::sleep_for(kStep);
    }
}

void stop_console_events() { stopped.store(true, std::memory_order_release); }

}  // namespace platform
