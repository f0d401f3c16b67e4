// Processor faults of the driver's thread turned into calls of a fault filter.
#pragma once

#include <cstdint>

#include "platform/fault_info.h"

namespace platform {

// Fault codes in the numbering of the fault table (low 16 bits).
namespace fault_code {
inline constexpr std::uint32_t datatype_misalignment = 0x0002;
inline constexpr std::uint32_t breakpoint = 0x0003;
inline constexpr std::uint32_t single_step = 0x0004;
inline constexpr std::uint32_t access_violation = 0x0005;
inline constexpr std::uint32_t in_page_error = 0x0006;
inline constexpr std::uint32_t illegal_instruction = 0x001D;
inline constexpr std::uint32_t noncontinuable = 0x0025;
inline constexpr std::uint32_t invalid_disposition = 0x0026;
inline constexpr std::uint32_t array_bounds_exceeded = 0x008C;
inline constexpr std::uint32_t float_denormal_operand = 0x008D;
inline constexpr std::uint32_t float_divide_by_zero = 0x008E;
inline constexpr std::uint32_t float_inexact = 0x008F;
inline constexpr std::uint32_t float_invalid = 0x0090;
inline constexpr std::uint32_t float_overflow = 0x0091;
inline constexpr std::uint32_t float_stack_check = 0x0092;
inline constexpr std::uint32_t float_underflow = 0x0093;
inline constexpr std::uint32_t integer_divide_by_zero = 0x0094;
inline constexpr std::uint32_t integer_overflow = 0x0095;
inline constexpr std::uint32_t privileged_instruction = 0x0096;
inline constexpr std::uint32_t stack_overflow = 0x00FD;
inline constexpr std::uint32_t vector_multiple_faults = 0x02B4;
inline constexpr std::uint32_t vector_multiple_traps = 0x02B5;
}  // namespace fault_code

// The fault code of a signal. Signals the table has no row for (including
// fault signals sent by another process) get 0xE0000000 | signal << 8 |
// (si_code & 0xFF), whose low 16 bits stay clear of the table's codes.
// Signal-safe.
std::uint32_t fault_code_for(int signal, int signal_code, bool at_stack_limit);

// Whether an access-fault address lies at the end of a stack whose lowest
// usable address is `stack_low`, or right below the stack pointer at the
// fault. Signal-safe.
bool is_stack_overflow(std::uintptr_t address, std::uintptr_t stack_low, std::uintptr_t stack_pointer);

enum class FaultVerdict {
    continue_execution,  // resume the faulting code
    continue_search,     // let the fault take the platform's default course
    handle,              // abandon the protected body
};

// Called on the alternate stack of the faulting thread, with every fault
// signal already back at its default action so a fault inside the filter
// ends the process instead of recursing.
using FaultFilter = FaultVerdict (*)(const FaultInfo& fault);

// Runs body(arg) with the fault signals of this thread (SIGSEGV, SIGBUS,
// SIGILL, SIGFPE, SIGTRAP) going to `filter` on an alternate stack of 1 MiB.
// Returns true when the body returned, false when a verdict `handle`
// abandoned it: the body's frames are left without unwinding. Faults of other
// threads take their default course.
bool run_protected(void (*body)(void*), void* arg, FaultFilter filter);

// The status flags of the vector control register saved in a fault's
// processor context; false when the context holds no such register.
// Signal-safe.
bool fault_vector_status(const FaultInfo& fault, std::uint32_t& flags);

// True for a breakpoint the program asked for itself (a trap signal it sent,
// as a debugger stop does), not one an instruction raised. Signal-safe.
bool is_break_request(const FaultInfo& fault);

// Stops the platform from leaving fault artefacts for the process (here:
// no core dump). Used when error dialogs are turned off.
void suppress_fault_dumps();

}  // namespace platform
