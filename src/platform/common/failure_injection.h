// The countdown behind the failure seam (platform/testing.h), shared by the
// backends: each wraps its system calls and asks here whether a call is to fail.
#pragma once

#include "platform/files.h"
#include "platform/testing.h"

#include <atomic>
#include <cstddef>

namespace platform::injection {

// Whether a test armed anything at all: a program run never does, and then
// every system call pays one relaxed load, inline, for the seam.
extern std::atomic<bool> armed;

bool take_armed(testing::Syscall call, SystemError& code);
std::size_t write_size_armed(std::size_t bytes);

// Counts the call down, first running an action armed for it; true when it
// is to fail, with `code` set to the code it fails with.
inline bool take(testing::Syscall call, SystemError& code) {
    return armed.load(std::memory_order_relaxed) && take_armed(call, code);
}

// The bytes a write asked to move `bytes` may move: fewer for a write that
// testing::shorten_write armed.
inline std::size_t write_size(std::size_t bytes) {
    return armed.load(std::memory_order_relaxed) ? write_size_armed(bytes) : bytes;
}

}  // namespace platform::injection
