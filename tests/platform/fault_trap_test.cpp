#include "platform/fault_trap.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/cpu.h"

namespace {

namespace code = platform::fault_code;

constexpr std::size_t kFilterStack = std::size_t{64} << 10;

void divide_by_zero(void*) {
    platform::write_vector_control(platform::read_vector_control() & ~(1u << 9));  // unmask ZM
    volatile float zero = 0.0f;
    volatile float result = 1.0f / zero;
    (void)result;
}

void breakpoint(void*) { asm volatile("int3"); }

TEST(RunProtected, ContinueExecutionResumesAfterTheTrap) {
    static std::uint32_t seen = 0;
    static bool requested = true;
    EXPECT_TRUE(platform::run_protected(
        breakpoint, nullptr,
        [](const platform::FaultInfo& fault) {
            seen = fault.code;
            requested = fault.break_request;
            return platform::FaultVerdict::continue_execution;
        },
        kFilterStack));
    // The low 16 bits name the fault; Windows keeps its own code in full.
    EXPECT_EQ(seen & 0xFFFF, code::breakpoint);
    EXPECT_FALSE(requested) << "an instruction's trap is no break request of the program";
}

TEST(RunProtected, VectorStatusOfTheFaultIsReadable) {
    const std::uint32_t control = platform::read_vector_control();
    // The context lives only while the filter runs, so it is read there.
    static std::uint32_t flags = 0;
    static bool have = false;
    const bool returned = platform::run_protected(
        divide_by_zero, nullptr,
        [](const platform::FaultInfo& fault) {
            have = platform::fault_vector_status(fault, flags);
            return platform::FaultVerdict::handle;
        },
        kFilterStack);
    platform::write_vector_control(control);
    EXPECT_FALSE(returned);
    ASSERT_TRUE(have);
    EXPECT_NE(flags & (1u << 2), 0u);  // the zero-divide flag
}

}  // namespace
