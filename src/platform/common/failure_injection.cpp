#include "platform/common/failure_injection.h"

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

}  // namespace

namespace injection {

bool take(Syscall call, SystemError& code) {
    Injection& slot = slot_of(call);
    if (slot.countdown.load(std::memory_order_relaxed) == 0) return false;  // the usual case
    const int left = slot.countdown.fetch_sub(1) - 1;
    if (left > 0) return false;
    if (slot.persistent.load()) slot.countdown.store(1);
    code = slot.code.load();
    return true;
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
}

void clear_syscall_failures() {
    for (Injection& slot : injections) slot.countdown.store(0);
}

}  // namespace testing
}  // namespace platform
