#include "reporting/fault_context.h"

#include <atomic>

namespace rt {
namespace {

// One record for the whole process: it lives in static storage, so creating
// it cannot fail and the fault path never needs the heap to reach it.
FaultContext g_context_storage;
std::atomic<FaultContext*> g_context{nullptr};
std::atomic<int> g_pending_exit_status{0};

}  // namespace

FaultContext* fault_context() { return g_context.load(std::memory_order_acquire); }

void create_fault_context() {
    g_context_storage = FaultContext{};
    g_context.store(&g_context_storage, std::memory_order_release);
}

void release_fault_context() { g_context.store(nullptr, std::memory_order_release); }

int pending_exit_status() { return g_pending_exit_status.load(std::memory_order_relaxed); }

void set_pending_exit_status(int status) { g_pending_exit_status.store(status, std::memory_order_relaxed); }

}  // namespace rt
