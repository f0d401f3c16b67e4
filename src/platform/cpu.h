// Processor identification and the floating-point control registers.
#pragma once

#include <cstdint>

namespace platform {

// What leaves 0 and 1 of the identification instruction say.
struct CpuIdentity {
    std::uint32_t max_leaf = 0;  // 0 also when the instruction is missing
    std::uint32_t vendor_ebx = 0, vendor_edx = 0, vendor_ecx = 0;
    std::uint32_t leaf1_eax = 0, leaf1_ecx = 0, leaf1_edx = 0;
};

CpuIdentity identify_cpu();

// The vector unit's control and status register.
std::uint32_t read_vector_control();
void write_vector_control(std::uint32_t value);

// The bits of the vector control register this processor accepts, from a
// state save; 0 when the save leaves the field empty.
std::uint32_t vector_control_mask();

std::uint16_t read_x87_control();
void write_x87_control(std::uint16_t value);

}  // namespace platform
