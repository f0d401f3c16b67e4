#include "platform/common/console_event_record.h"

namespace platform {
namespace {

// Set once, before the handler is installed.
ConsoleEventAction event_action = nullptr;

std::atomic<bool> acting{false};
std::atomic<bool> stopped{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler stores the record");

}  // namespace

namespace detail {

std::atomic<int> recorded_console_event{kNoConsoleEvent};

void act_on_console_event() {
    if (stopped.load(std::memory_order_acquire) || acting.exchange(true, std::memory_order_acq_rel)) return;
    const int event_type = recorded_console_event.load(std::memory_order_acquire);
    if (event_action == nullptr || !event_action(event_type)) pass_on_console_event(event_type);
}

}  // namespace detail

void set_console_event_action(ConsoleEventAction action) { event_action = action; }

void record_console_event(int event_type) {
    if (stopped.load(std::memory_order_relaxed)) return;
    int none = detail::kNoConsoleEvent;
    detail::recorded_console_event.compare_exchange_strong(none, event_type, std::memory_order_release,
                                                           std::memory_order_relaxed);
}

void stop_console_events() { stopped.store(true, std::memory_order_release); }

}  // namespace platform
