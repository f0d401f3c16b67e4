#include "platform/cpu.h"

#if !defined(__x86_64__) && !defined(__i386__)
#error "the processor layer is written for x86 processors"
#endif

#include <cpuid.h>

#include <cstring>

namespace platform {

CpuIdentity identify_cpu() {
    CpuIdentity id;
    unsigned a = 0, b = 0, c = 0, d = 0;
    // __get_cpuid returns 0 when the instruction or the leaf is missing.
    if (__get_cpuid(0, &a, &b, &c, &d) == 0) return id;
    id.max_leaf = a;
    id.vendor_ebx = b;
    id.vendor_edx = d;
    id.vendor_ecx = c;
    if (id.max_leaf >= 1 && __get_cpuid(1, &a, &b, &c, &d) != 0) {
        id.leaf1_eax = a;
        id.leaf1_ecx = c;
        id.leaf1_edx = d;
    }
    return id;
}

std::uint32_t read_vector_control() {
    std::uint32_t value = 0;
    asm volatile("stmxcsr %0" : "=m"(value));
    return value;
}

void write_vector_control(std::uint32_t value) { asm volatile("ldmxcsr %0" : : "m"(value)); }

std::uint32_t vector_control_mask() {
    // The save area must be 16-byte aligned and cleared first: a processor
    // that does not fill the mask field leaves it 0.
    alignas(16) unsigned char area[512];
    std::memset(area, 0, sizeof area);
    asm volatile("fxsave %0" : "=m"(area) : : "memory");
    std::uint32_t mask = 0;
    std::memcpy(&mask, area + 28, sizeof mask);
    return mask;
}

std::uint16_t read_x87_control() {
    std::uint16_t value = 0;
    asm volatile("fnstcw %0" : "=m"(value));
    return value;
}

void write_x87_control(std::uint16_t value) { asm volatile("fldcw %0" : : "m"(value)); }

}  // namespace platform
