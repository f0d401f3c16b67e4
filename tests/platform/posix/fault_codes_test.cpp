#include "platform/posix/fault_codes.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>

#include "platform/fault_info.h"

namespace {

namespace code = platform::fault_code;

struct SignalCase {
    int signal;
    int signal_code;
    bool at_stack_limit;
    std::uint32_t expected;
};

TEST(FaultCodeFor, MapsEverySignalAndCode) {
    const SignalCase cases[] = {
        {SIGSEGV, SEGV_MAPERR, false, code::access_violation},
        {SIGSEGV, SEGV_MAPERR, true, code::stack_overflow},
        {SIGSEGV, SEGV_BNDERR, false, code::array_bounds_exceeded},
        {SIGBUS, BUS_ADRALN, false, code::datatype_misalignment},
        {SIGILL, ILL_ILLOPC, false, code::illegal_instruction},
        {SIGFPE, FPE_FLTDIV, false, code::float_divide_by_zero},
        {SIGFPE, FPE_FLTSUB, false, code::array_bounds_exceeded},
        {SIGFPE, 14, false, code::vector_multiple_traps},  // undiagnosed by the kernel
        {SIGTRAP, SI_KERNEL, false, code::breakpoint},  // int3 on x86-64
        {SIGTRAP, SI_TKILL, false, code::breakpoint},  // a break request of the program
        // Sent by a process, not raised by the processor: unlisted codes
        // that keep the signal and si_code in their low 16 bits.
        {SIGSEGV, SI_USER, false, 0xE0000B00},
        {SIGILL, SI_QUEUE, true, 0xE00004FF},
    };
    for (const SignalCase& c : cases)
        EXPECT_EQ(platform::posix::fault_code_for(c.signal, c.signal_code, c.at_stack_limit), c.expected)
            << "signal " << c.signal << " code " << c.signal_code;
}

TEST(IsBreakRequest, OnlyATrapTheProgramSentItself) {
    EXPECT_TRUE(platform::posix::is_break_request(SIGTRAP, SI_TKILL));
    EXPECT_TRUE(platform::posix::is_break_request(SIGTRAP, SI_USER));
    EXPECT_FALSE(platform::posix::is_break_request(SIGTRAP, SI_KERNEL));
    EXPECT_FALSE(platform::posix::is_break_request(SIGSEGV, SI_TKILL));
}

TEST(IsStackOverflow, NearTheLimitOrTheStackPointerOnly) {
    constexpr std::uintptr_t low = 0x7ff000000000;
    constexpr std::uintptr_t sp = 0x7ff000800000;
    struct Case {
        std::uintptr_t address, stack_low, stack_pointer;
        bool expected;
    };
    const Case cases[] = {
        {0, low, sp, false},                      // a null pointer
        {low - 8, low, sp, true},                 // just past the limit
        {low - (1u << 20), low, sp, true},        // the far end of the kernel's gap
        {low - (2u << 20), low, sp, false},       // well below the gap
        {sp - 8, 0, sp, true},                    // a push with no known limit
        {sp - (64u << 10) - 1, 0, sp, false},     // beyond one large frame
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::posix::is_stack_overflow(c.address, c.stack_low, c.stack_pointer), c.expected)
            << std::hex << c.address;
}

}  // namespace
