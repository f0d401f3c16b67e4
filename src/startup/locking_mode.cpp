#include "startup/locking_mode.h"

#include <atomic>

namespace rt {
namespace {
std::atomic<int> mode{0};
}

int locking_mode() { return mode.load(std::memory_order_acquire); }

void set_locking_mode(int value) { mode.store(value, std::memory_order_release); }

}  // namespace rt
