// The processor check and the floating-point modes of the run-time layer.
#pragma once

#include <cstdint>

#include "platform/cpu.h"

namespace rt {

// Single-bit class masks. 128 and above: at least the second generation of
// the vector floating-point instructions; only that threshold matters here.
inline constexpr std::uint32_t kClassGeneric = 1;
inline constexpr std::uint32_t kClassVector2 = 128;

// Pure classification of what the identification instruction reported.
std::uint32_t class_from_identity(const platform::CpuIdentity& id);

// ProcessorClass: computed on first call, then kept for the process.
std::uint32_t classify_processor();

// Request bits of apply_fp_modes.
inline constexpr std::uint32_t kRequestFlushToZero = 1;
inline constexpr std::uint32_t kRequestDenormalsAreZero = 2;
inline constexpr std::uint32_t kRequestMisalignedMask = 4;

// Vector control register bits.
inline constexpr std::uint32_t kVectorDenormalsAreZero = 1u << 6;
inline constexpr std::uint32_t kVectorExceptionMasks = 0x1F80;
inline constexpr std::uint32_t kVectorFlushToZero = 1u << 15;
inline constexpr std::uint32_t kVectorMisalignedMask = 1u << 17;

// The bits apply_fp_modes adds to the vector control register, given the
// processor class, the request and the register's supported-bits mask.
std::uint32_t fp_mode_bits(std::uint32_t processor_class, std::uint32_t request,
                           std::uint32_t supported_mask);

// The processor check: request 0 only classifies; the driver asks for 3.
void apply_fp_modes(std::uint32_t request);

// The driver sets flush-to-zero itself, whatever the processor class.
void enable_flush_to_zero();

// Trap settings word: bit i (0 to 5) unmasks the vector exception whose status
// flag is bit i, bit 16 adds flush-to-zero. Start-up passes 0: all masked.
std::uint32_t vector_control_with_traps(std::uint32_t control, std::uint32_t trap_settings);
void set_vector_fp_masks(std::uint32_t trap_settings);

// Masks the five maskable x87 exceptions (invalid, zero divide, overflow,
// underflow, inexact), leaves the denormal mask, precision and rounding as
// they are, and keeps denormals (no flushing).
void mask_x87_exceptions();

}  // namespace rt
