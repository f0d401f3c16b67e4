// The processor registers saved with a fault, in the groups a dump shows.
#pragma once

#include <cstdint>

#include "platform/fault_info.h"

namespace platform {

struct ProcessorContext {
    bool has_control = false;   // flags, instruction and stack registers
    bool has_integer = false;
    bool has_segments = false;  // the two kept on x86-64: FS and GS
    bool has_float = false;

    std::uint64_t flags = 0, cs = 0, ip = 0, ss = 0, sp = 0, bp = 0;
    std::uint64_t ax = 0, bx = 0, cx = 0, dx = 0, si = 0, di = 0;
    std::uint64_t r[8] = {};  // r8 to r15
    std::uint64_t fs = 0, gs = 0;

    std::uint32_t control_word = 0, status_word = 0, tag_word = 0, opcode = 0, mxcsr = 0;
    std::uint64_t error_offset = 0, data_offset = 0;
    struct Register80 {
        std::uint64_t mantissa = 0;
        std::uint16_t exponent = 0;  // with the sign bit
    } st[8];
};

// Reads the registers saved in the fault's context; false when it has none.
// Async-signal-safe.
bool read_processor_context(const FaultInfo& fault, ProcessorContext& out);

}  // namespace platform
