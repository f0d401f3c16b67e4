// The description of a processor fault, as the fault path hands it to the reporter.
#pragma once

#include <cstdint>

namespace platform {

struct FaultInfo {
    // Fault code in the numbering of the fault table (low 16 bits meaningful):
    // 0x0005 access violation, 0x008E floating divide by zero, 0x00FD stack overflow, ...
    std::uint32_t code = 0;
    int signal = 0;                 // the POSIX signal that carried it
    int signal_code = 0;            // its si_code
    const void* address = nullptr;  // faulting data address, where the platform gives one
    const void* context = nullptr;  // processor context at the fault (ucontext_t* here)
};

}  // namespace platform
