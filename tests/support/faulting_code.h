// Code that makes the processor fault, for the fault-path tests.
#pragma once

#include <cstdint>

namespace test_support {

// A write through a null pointer the compiler cannot see. Kept out of line
// so that it is a frame of its own; named short, as the routine column of a
// traceback holds 17 characters.
__attribute__((noinline, no_sanitize("undefined"))) inline void write_null() {
    volatile int* volatile target = nullptr;
    *target = 1;
}

// Volatile, so the compiler cannot prove that the recursion never ends.
inline volatile std::int64_t depth_left = std::int64_t{1} << 40;

inline int recurse(volatile char* previous) {
    const std::int64_t left = depth_left - 1;
    depth_left = left;
    if (left == 0) return 0;
    volatile char frame[512];
    frame[0] = previous != nullptr ? previous[0] : 1;
    return recurse(frame) + frame[1];
}

// Runs the stack out.
inline void overflow_stack() { recurse(nullptr); }

}  // namespace test_support
