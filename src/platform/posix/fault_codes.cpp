#include "platform/posix/fault_codes.h"

#include <signal.h>

#include "platform/fault_info.h"

namespace platform::posix {
namespace {

std::uint32_t unlisted(int signal, int signal_code) {
    return 0xE0000000u | (static_cast<std::uint32_t>(signal) & 0xFF) << 8 |
           (static_cast<std::uint32_t>(signal_code) & 0xFF);
}

}  // namespace

std::uint32_t fault_code_for(int signal, int signal_code, bool at_stack_limit) {
    // Codes of 0 and below mean another process (or raise) sent the signal:
    // no fault happened, except that a trap stays a break request.
    const bool sent = signal_code <= 0;
    switch (signal) {
        case SIGSEGV:
            if (sent) break;
            if (signal_code == SEGV_BNDERR) return fault_code::array_bounds_exceeded;
            return at_stack_limit ? fault_code::stack_overflow : fault_code::access_violation;
        case SIGBUS:
            if (sent) break;
            return signal_code == BUS_ADRALN ? fault_code::datatype_misalignment
                                             : fault_code::in_page_error;
        case SIGILL:
            if (sent) break;
            return signal_code == ILL_PRVOPC || signal_code == ILL_PRVREG
                       ? fault_code::privileged_instruction
                       : fault_code::illegal_instruction;
        case SIGFPE:
            if (sent) break;
            switch (signal_code) {
                case FPE_INTDIV: return fault_code::integer_divide_by_zero;
                case FPE_INTOVF: return fault_code::integer_overflow;
                case FPE_FLTDIV: return fault_code::float_divide_by_zero;
                case FPE_FLTOVF: return fault_code::float_overflow;
                case FPE_FLTUND: return fault_code::float_underflow;
                case FPE_FLTRES: return fault_code::float_inexact;
                case FPE_FLTINV: return fault_code::float_invalid;
                case FPE_FLTSUB: return fault_code::array_bounds_exceeded;
                // The kernel could not tell which: decided from the saved flags.
                default: return fault_code::vector_multiple_traps;
            }
        case SIGTRAP:
            return signal_code == TRAP_TRACE || signal_code == TRAP_BRANCH ? fault_code::single_step
                                                                           : fault_code::breakpoint;
        default:
            break;
    }
    return unlisted(signal, signal_code);
}

bool is_stack_overflow(std::uintptr_t address, std::uintptr_t stack_low, std::uintptr_t stack_pointer) {
    // The kernel keeps a gap of about 1 MiB below a stack that may still grow.
    constexpr std::uintptr_t kGapBytes = std::uintptr_t{1} << 20;
    constexpr std::uintptr_t kPageBytes = 4096;
    if (stack_low != 0 && address < stack_low + kPageBytes && address + kGapBytes >= stack_low) return true;
    // A stack without a known limit: an access fault within one large frame
    // of the stack pointer can only be the stack running out.
    constexpr std::uintptr_t kFrameReach = std::uintptr_t{64} << 10;
    if (stack_pointer == 0) return false;
    return address >= stack_pointer ? address - stack_pointer <= kFrameReach
                                    : stack_pointer - address <= kFrameReach;
}

bool is_break_request(int signal, int signal_code) { return signal == SIGTRAP && signal_code <= 0; }

}  // namespace platform::posix
