// Processor faults of the driver's thread turned into calls of a fault filter.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/fault_info.h"

namespace platform {

enum class FaultVerdict {
    continue_execution,  // resume the faulting code
    continue_search,     // let the fault take the platform's default course
    handle,              // abandon the protected body
};

// Called on the faulting thread with the fault trap undone, so that a fault
// inside the filter ends the process instead of recursing.
using FaultFilter = FaultVerdict (*)(const FaultInfo& fault);

// Runs body(arg) with the processor faults of this thread going to `filter`.
// The filter gets at least `filter_stack_bytes` of stack, also when the
// fault was the stack running out: an alternate stack, or stack the backend
// holds in reserve on the faulting thread. Returns true when the body
// returned, false when a verdict `handle` abandoned it: the body's frames are
// left without unwinding. Faults of other threads take their default course.
bool run_protected(void (*body)(void*), void* arg, FaultFilter filter, std::size_t filter_stack_bytes);

// The exception status flags of the vector control register (invalid,
// denormal, divide by zero, overflow, underflow, precision).
inline constexpr std::uint32_t kVectorStatusFlags = 0x3F;

// The status flags of the vector control register saved in a fault's
// processor context; false when the context holds no such register.
// Safe on the fault path.
bool fault_vector_status(const FaultInfo& fault, std::uint32_t& flags);

// Stops the platform from leaving fault artefacts for the process (error
// boxes, core dumps). Used when error dialogs are turned off.
void suppress_fault_dumps();

}  // namespace platform
