// The description of a processor fault, as the fault path hands it to the reporter.
#pragma once

#include <cstdint>

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

struct FaultInfo {
    // Fault code of the table above (low 16 bits meaningful); a fault the
    // table has no row for keeps the platform's own code, or one the backend
    // makes up whose low 16 bits stay clear of the table's.
    std::uint32_t code = 0;
    const void* address = nullptr;  // faulting data address, where the platform gives one
    const void* context = nullptr;  // processor context at the fault; only the backend reads it
    // A breakpoint the program asked for itself (a debugger stop it made),
    // not one an instruction of the driver raised.
    bool break_request = false;
};

}  // namespace platform
