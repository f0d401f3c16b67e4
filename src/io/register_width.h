// Whether the target's general registers hold 64 bits. The text cores keep
// their 64-bit word tricks where they are one instruction each, and take
// 32-bit arithmetic where the values fit on a target where every 64-bit
// step costs a pair of instructions or a library call.
#pragma once

#include <cstdint>
#include <type_traits>

namespace io {

inline constexpr bool kWideRegisters = UINTPTR_MAX > 0xFFFFFFFFu;

// The unsigned integer of one general register.
using RegisterWord = std::conditional_t<kWideRegisters, std::uint64_t, std::uint32_t>;

}  // namespace io
