// Test-only hook: make a chosen platform call fail with a chosen error code,
// so that failures a healthy machine never shows (a full disk, a failing
// close, no memory) can be driven from tests.
#pragma once

#include <cstdint>

#include "platform/files.h"

namespace platform::testing {

enum class Syscall : std::uint8_t {
    open,
    read,
    write,
    truncate,
    seek,
    close,
    stat,
    current_directory,
    heap,   // heap_allocate and heap_reallocate
    pages,  // pages_allocate
    count_,
};

// The `nth` call from now (1 = the next one) fails with `code`; with
// `persistent`, every call from that one on fails.
void fail_syscall(Syscall call, int nth, SystemError code, bool persistent = false);
// Every call succeeds again.
void clear_syscall_failures();

// Clears the failures when a test scope ends.
class ScopedSyscallFailure {
public:
    ScopedSyscallFailure(Syscall call, int nth, SystemError code, bool persistent = false) {
        fail_syscall(call, nth, code, persistent);
    }
    ~ScopedSyscallFailure() { clear_syscall_failures(); }
    ScopedSyscallFailure(const ScopedSyscallFailure&) = delete;
    ScopedSyscallFailure& operator=(const ScopedSyscallFailure&) = delete;
};

}  // namespace platform::testing
