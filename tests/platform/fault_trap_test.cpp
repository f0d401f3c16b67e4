#include "platform/fault_trap.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>

#include "platform/cpu.h"
#include "support/faulting_code.h"

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
        {SIGSEGV, SI_KERNEL, false, code::access_violation},
        {SIGBUS, BUS_ADRALN, false, code::datatype_misalignment},
        {SIGBUS, BUS_ADRERR, false, code::in_page_error},
        {SIGILL, ILL_ILLOPC, false, code::illegal_instruction},
        {SIGILL, ILL_PRVOPC, false, code::privileged_instruction},
        {SIGFPE, FPE_INTDIV, false, code::integer_divide_by_zero},
        {SIGFPE, FPE_FLTDIV, false, code::float_divide_by_zero},
        {SIGFPE, FPE_FLTSUB, false, code::array_bounds_exceeded},
        {SIGFPE, 14, false, code::vector_multiple_traps},  // undiagnosed by the kernel
        {SIGTRAP, SI_KERNEL, false, code::breakpoint},  // int3 on x86-64
        {SIGTRAP, TRAP_TRACE, false, code::single_step},
        {SIGTRAP, SI_TKILL, false, code::breakpoint},  // a break request of the program
        // Sent by a process, not raised by the processor: unlisted codes
        // that keep the signal and si_code in their low 16 bits.
        {SIGSEGV, SI_USER, false, 0xE0000B00},
        {SIGFPE, SI_USER, false, 0xE0000800},
        {SIGBUS, SI_TKILL, false, 0xE00007FA},
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
        {16, 0, sp, false},                       // a small offset from null, no known limit
        {low - 8, low, sp, true},                 // just past the limit
        {low + 100, low, sp, true},               // the stack's last page
        {low - (1u << 20), low, sp, true},        // the far end of the kernel's gap
        {low - (2u << 20), low, sp, false},       // well below the gap
        {sp - 8, 0, sp, true},                    // a push with no known limit
        {sp - (64u << 10) - 1, 0, sp, false},     // beyond one large frame
        {0x5000, low, 0, false},                  // no stack pointer in the context
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::is_stack_overflow(c.address, c.stack_low, c.stack_pointer), c.expected)
            << std::hex << c.address;
}

// What the filter saw, for the test to inspect after the region closes.
platform::FaultInfo seen;
platform::FaultVerdict seen_verdict = platform::FaultVerdict::handle;

platform::FaultVerdict record(const platform::FaultInfo& fault) {
    seen = fault;
    return seen_verdict;
}

void null_write(void*) { test_support::write_null(); }

void stack_overflow(void*) { test_support::overflow_stack(); }

void divide_by_zero(void*) {
    platform::write_vector_control(platform::read_vector_control() & ~(1u << 9));  // unmask ZM
    volatile float zero = 0.0f;
    volatile float result = 1.0f / zero;
    (void)result;
}

void breakpoint(void*) { asm volatile("int3"); }

struct TrapCase {
    const char* name;
    void (*body)(void*);
    int signal;
    std::uint32_t code;
};

TEST(RunProtected, HandledFaultsAbandonTheBody) {
    const TrapCase cases[] = {
        {"null write", null_write, SIGSEGV, code::access_violation},
        {"recursion", stack_overflow, SIGSEGV, code::stack_overflow},
        {"divide by zero", divide_by_zero, SIGFPE, code::float_divide_by_zero},
    };
    const std::uint32_t control = platform::read_vector_control();
    for (const TrapCase& c : cases) {
        seen = {};
        seen_verdict = platform::FaultVerdict::handle;
        EXPECT_FALSE(platform::run_protected(c.body, nullptr, record)) << c.name;
        platform::write_vector_control(control);
        EXPECT_EQ(seen.signal, c.signal) << c.name;
        EXPECT_EQ(seen.code, c.code) << c.name;
        EXPECT_NE(seen.context, nullptr) << c.name;
    }
}

TEST(RunProtected, ContinueExecutionResumesAfterTheTrap) {
    seen = {};
    seen_verdict = platform::FaultVerdict::continue_execution;
    EXPECT_TRUE(platform::run_protected(breakpoint, nullptr, record));
    EXPECT_EQ(seen.code, code::breakpoint);
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

TEST(RunProtectedDeathTest, ContinueSearchTakesTheDefaultCourse) {
    EXPECT_EXIT(
        {
            platform::suppress_fault_dumps();
            platform::run_protected(null_write, nullptr,
                                    [](const platform::FaultInfo&) { return platform::FaultVerdict::continue_search; });
        },
        testing::KilledBySignal(SIGSEGV), "");
}

}  // namespace
