// Process-wide state of the fault and termination paths.
#pragma once

#include <cstdint>

#include "platform/fault_info.h"

namespace rt {

struct FaultContext {
    const platform::FaultInfo* fault = nullptr;  // set while a fault is being reported
    std::uint32_t resume_after_report = 0;       // a severe report returns instead of ending
    std::uint32_t reported_under_debugger = 0;   // a floating-point fault went to the debugger
};

// Null before start-up creates it and after termination releases it; while
// it is absent, reports carry no traceback. All of these are safe on the
// fault path: the record lives in static storage.
FaultContext* fault_context();
void create_fault_context();
void release_fault_context();

// What termination returns as exit status; the floating-point fault paths set it.
int pending_exit_status();
void set_pending_exit_status(int status);

}  // namespace rt
