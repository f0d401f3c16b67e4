#include "platform/common/failure_injection.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>

namespace platform {
namespace {

using testing::Syscall;

// One armed failure per call: `countdown` calls to go (0 = none armed).
struct Injection {
    std::atomic<int> countdown{0};
    std::atomic<SystemError> code{0};
    std::atomic<bool> persistent{false};
};

std::array<Injection, static_cast<std::size_t>(Syscall::count_)> injections;

Injection& slot_of(Syscall call) { return injections[static_cast<std::size_t>(call)]; }

// One armed short write: `countdown` writes to go (0 = none armed).
struct ShortWrite {
    std::atomic<int> countdown{0};
    std::atomic<std::size_t> bytes{0};
};

ShortWrite short_write;

// One armed action per call: `countdown` calls to go (0 = none armed).
struct Action {
    std::atomic<int> countdown{0};
    std::atomic<testing::SyscallAction> action{nullptr};
    std::atomic<void*> context{nullptr};
};

std::array<Action, static_cast<std::size_t>(Syscall::count_)> actions;

void run_action(Syscall call) {
    Action& slot = actions[static_cast<std::size_t>(call)];
    if (slot.countdown.load(std::memory_order_relaxed) == 0) return;  // the usual case
    if (slot.countdown.fetch_sub(1) - 1 > 0) return;
    if (const testing::SyscallAction action = slot.action.load(); action != nullptr) action(slot.context.load());
}

}  // namespace

namespace injection {

std::atomic<bool> armed{false};

bool take_armed(Syscall call, SystemError& code) {
    run_action(call);
    Injection& slot = slot_of(call);
    if (slot.countdown.load(std::memory_order_relaxed) == 0) return false;  // the usual case
    const int left = slot.countdown.fetch_sub(1) - 1;
    if (left > 0) return false;
    if (slot.persistent.load()) slot.countdown.store(1);
    code = slot.code.load();
    return true;
}

std::size_t write_size_armed(std::size_t bytes) {
    if (short_write.countdown.load(std::memory_order_relaxed) == 0) return bytes;  // the usual case
    if (short_write.countdown.fetch_sub(1) - 1 > 0) return bytes;
    return std::min(bytes, short_write.bytes.load());
}

}  // namespace injection

namespace testing {

void fail_syscall(Syscall call, int nth, ErrorCategory category, bool persistent) {
    fail_syscall_with_code(call, nth, system_code(category), persistent);
}

void fail_syscall_with_code(Syscall call, int nth, SystemError code, bool persistent) {
    Injection& slot = slot_of(call);
    slot.code.store(code);
    slot.persistent.store(persistent);
    slot.countdown.store(nth < 1 ? 1 : nth);
    injection::armed.store(true);
}

void shorten_write(int nth, std::size_t bytes) {
    short_write.bytes.store(bytes);
    short_write.countdown.store(nth < 1 ? 1 : nth);
    injection::armed.store(true);
}

void before_syscall(Syscall call, int nth, SyscallAction action, void* context) {
    Action& slot = actions[static_cast<std::size_t>(call)];
    slot.action.store(action);
    slot.context.store(context);
    slot.countdown.store(nth < 1 ? 1 : nth);
    injection::armed.store(true);
}

void clear_syscall_failures() {
    // Left armed: a countdown at 0 fails nothing, and a test that clears
    // while a call of another thread counts down must not race it.
    for (Injection& slot : injections) slot.countdown.store(0);
    for (Action& slot : actions) slot.countdown.store(0);
    short_write.countdown.store(0);
}

}  // namespace testing
}  // namespace platform
