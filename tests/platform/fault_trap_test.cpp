#include "platform/fault_trap.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>

#include "platform/cpu.h"

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
        EXPECT_EQ(platform::fault_code_for(c.signal, c.signal_code, c.at_stack_limit), c.expected)
            << "signal " << c.signal << " code " << c.signal_code;
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
        EXPECT_EQ(platform::is_stack_overflow(c.address, c.stack_low, c.stack_pointer), c.expected)
            << std::hex << c.address;
}

void divide_by_zero(void*) {
    platform::write_vector_control(platform::read_vector_control() & ~(1u << 9));  // unmask ZM
    volatile float zero = 0.0f;
    volatile float result = 1.0f / zero;
    (void)result;
}

void breakpoint(void*) { asm volatile("int3"); }

TEST(RunProtected, ContinueExecutionResumesAfterTheTrap) {
    static std::uint32_t seen = 0;
    EXPECT_TRUE(platform::run_protected(breakpoint, nullptr, [](const platform::FaultInfo& fault) {
        seen = fault.code;
        return platform::FaultVerdict::continue_execution;
    }));
    EXPECT_EQ(seen, code::breakpoint);
}

TEST(RunProtected, VectorStatusOfTheFaultIsReadable) {
    const std::uint32_t control = platform::read_vector_control();
    // The context lives only while the filter runs, so it is read there.
    static std::uint32_t flags = 0;
    static bool have = false;
    platform::run_protected(divide_by_zero, nullptr, [](const platform::FaultInfo& fault) {
        have = platform::fault_vector_status(fault, flags);
        return platform::FaultVerdict::handle;
    });
    platform::write_vector_control(control);
    ASSERT_TRUE(have);
    EXPECT_NE(flags & (1u << 2), 0u);  // the zero-divide flag
}

}  // namespace
