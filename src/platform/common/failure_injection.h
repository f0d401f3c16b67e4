// The countdown behind the failure seam (platform/testing.h), shared by the
// backends: each wraps its system calls and asks here whether a call is to fail.
#pragma once

#include "platform/files.h"
#include "platform/testing.h"

namespace platform::injection {

// Counts the call down, first running an action armed for it; true when it
// is to fail, with `code` set to the code it fails with. Two relaxed loads
// when nothing is armed.
bool take(testing::Syscall call, SystemError& code);

// The bytes a write asked to move `bytes` may move: fewer for a write that
// testing::shorten_write armed. One relaxed load when nothing is armed.
std::size_t write_size(std::size_t bytes);

}  // namespace platform::injection
