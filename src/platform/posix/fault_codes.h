// The translation of POSIX fault signals into the fault table's codes.
#pragma once

#include <cstdint>

namespace platform::posix {

// The fault code of a signal. Signals the table has no row for (including
// fault signals sent by another process) get 0xE0000000 | signal << 8 |
// (si_code & 0xFF), whose low 16 bits stay clear of the table's codes.
// Async-signal-safe.
std::uint32_t fault_code_for(int signal, int signal_code, bool at_stack_limit);

// Whether an access-fault address lies at the end of a stack whose lowest
// usable address is `stack_low`, or right below the stack pointer at the
// fault. Async-signal-safe.
bool is_stack_overflow(std::uintptr_t address, std::uintptr_t stack_low, std::uintptr_t stack_pointer);

// True for a trap signal the program sent itself (as a debugger stop does),
// not one an instruction raised. Async-signal-safe.
bool is_break_request(int signal, int signal_code);

}  // namespace platform::posix
