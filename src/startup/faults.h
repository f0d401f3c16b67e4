// Processor faults of the driver turned into numbered reports.
#pragma once

#include "reporting/error_numbers.h"
#include <cstddef>
#include <cstdint>

#include "platform/fault_info.h"
#include "platform/fault_trap.h"

namespace rt {

// The stack the fault filter asks for: the report, the stack walk and the
// symbol lookup run on it, also after the stack ran out. A verbose report
// takes about 32 KiB on x86-64; this leaves a wide margin.
inline constexpr std::size_t kFaultFilterStackBytes = std::size_t{256} << 10;

// The number of a fault the table has no row for; its inserts are the low 16
// bits of the code in hexadecimal and in decimal.
inline constexpr int kUnlistedFaultNumber = err::kUnlistedException;

// The catalogue number of a fault code (low 16 bits). `vector_flags` are the
// status flags of the vector control register saved with the fault, or null
// when the context holds none; only the multiple-fault codes read them.
// Safe on the fault path.
int fault_number(std::uint32_t code, const std::uint32_t* vector_flags);

// True for the numbers of the floating-point traps (65, 72, 73, 74, 140).
// Safe on the fault path.
bool is_floating_point_trap(int number);

// The filter of the protected region around the driver: maps the fault (the
// platform has already decoded floating-point faults into their own codes),
// reports it and gives the verdict. Safe on the fault path but for the unit
// pass of a severe report, which ends the process in here. It runs on the
// faulting thread (the driver's), which the process leaves for good, so what
// it interrupted is never resumed.
platform::FaultVerdict handle_fault(const platform::FaultInfo& fault);

}  // namespace rt
