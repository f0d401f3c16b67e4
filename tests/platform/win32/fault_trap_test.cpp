// The protected region as Windows runs it: a frame-based handler, the filter
// on a fiber of its own, the body abandoned by unwinding to the region.
#include "platform/fault_trap.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/cpu.h"
#include "platform/process.h"
#include "platform/win32/handler_frame.h"
#include "support/faulting_code.h"

namespace {

constexpr std::size_t kFilterStack = std::size_t{1} << 20;
const int kAccessViolationStatus = static_cast<int>(EXCEPTION_ACCESS_VIOLATION);

void write_null(void*) { test_support::write_null(); }

platform::FaultVerdict abandon(const platform::FaultInfo&) { return platform::FaultVerdict::handle; }
platform::FaultVerdict decline(const platform::FaultInfo&) { return platform::FaultVerdict::continue_search; }

class RegionDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// An x87 divide by zero with the mask cleared traps at the next x87
// instruction; once abandoned, the body's floating-point control is what it
// was when the region opened, and nothing is left pending.
void x87_divide(void*) {
    platform::write_x87_control(platform::read_x87_control() & ~0x4);  // unmask the zero divide
    platform::write_vector_control(platform::read_vector_control() & ~(1u << 9));
    volatile long double zero = 0;
    volatile long double result = 1 / zero;
    (void)result;
}

DWORD g_code = 0;
platform::FaultVerdict note_code(const platform::FaultInfo& fault) {
    g_code = fault.code;
    return platform::FaultVerdict::handle;
}

TEST(Win32RunProtected, AnAbandonedBodyLeavesTheFloatingPointControlAsItWas) {
    const std::uint16_t x87 = platform::read_x87_control();
    const std::uint32_t vector = platform::read_vector_control();
    g_code = 0;
    EXPECT_FALSE(platform::run_protected(x87_divide, nullptr, note_code, kFilterStack));
    EXPECT_EQ(g_code, static_cast<DWORD>(EXCEPTION_FLT_DIVIDE_BY_ZERO));
    EXPECT_EQ(platform::read_x87_control(), x87);
    EXPECT_EQ(platform::read_vector_control() & ~0x3Fu, vector & ~0x3Fu);
    // No exception left pending: the next x87 instruction does not trap.
    volatile long double one = 1;
    volatile long double sum = one + one;
    EXPECT_EQ(sum, 2);
}

// The filter runs on the faulting thread, on a stack that is not the body's.
DWORD g_filter_thread = 0;
std::uintptr_t g_filter_stack = 0;
platform::FaultVerdict note_where(const platform::FaultInfo&) {
    g_filter_thread = ::GetCurrentThreadId();
    volatile char here = 0;
    g_filter_stack = reinterpret_cast<std::uintptr_t>(&here);
    return platform::FaultVerdict::handle;
}

TEST(Win32RunProtected, TheFilterRunsOnTheFaultingThreadOnAStackOfItsOwn) {
    g_filter_thread = 0;
    EXPECT_FALSE(platform::run_protected(write_null, nullptr, note_where, kFilterStack));
    EXPECT_EQ(g_filter_thread, ::GetCurrentThreadId());
    const NT_TIB& block = platform::win32::thread_block();
    const auto low = reinterpret_cast<std::uintptr_t>(block.StackLimit);
    const auto high = reinterpret_cast<std::uintptr_t>(block.StackBase);
    EXPECT_TRUE(g_filter_stack < low || g_filter_stack >= high) << "the filter ran on the body's stack";
}

// A region opened inside the body is the inner handler: its filter sees the
// fault, and the outer one never does.
bool g_outer_called = false;
platform::FaultVerdict outer_filter(const platform::FaultInfo&) {
    g_outer_called = true;
    return platform::FaultVerdict::handle;
}
bool g_inner_returned = true;
void inner_region(void*) { g_inner_returned = platform::run_protected(write_null, nullptr, abandon, kFilterStack); }

TEST(Win32RunProtected, AnInnerRegionSeesItsFaultsFirst) {
    g_outer_called = false;
    EXPECT_TRUE(platform::run_protected(inner_region, nullptr, outer_filter, kFilterStack));
    EXPECT_FALSE(g_inner_returned);
    EXPECT_FALSE(g_outer_called);
    // And the thread is back to what it was: a later fault finds the region again.
    EXPECT_FALSE(platform::run_protected(write_null, nullptr, abandon, kFilterStack));
}

TEST(Win32RunProtected, ARaisedExceptionThatCannotContinueIsAbandonedAsWell) {
    g_code = 0;
    EXPECT_FALSE(platform::run_protected(
        [](void*) { ::RaiseException(0xE0001234, EXCEPTION_NONCONTINUABLE, 0, nullptr); }, nullptr, note_code,
        kFilterStack));
    EXPECT_EQ(g_code, 0xE0001234u);
}

// The program's own stop, raised by a call: resumed, the call returns.
platform::FaultVerdict resume_break_requests(const platform::FaultInfo& fault) {
    return fault.break_request ? platform::FaultVerdict::continue_execution : platform::FaultVerdict::handle;
}
bool g_after_stop = false;

TEST(Win32RunProtected, AResumedBreakRequestReturnsFromItsCall) {
    g_after_stop = false;
    EXPECT_TRUE(platform::run_protected(
        [](void*) {
            platform::debug_break();
            g_after_stop = true;
        },
        nullptr, resume_break_requests, kFilterStack));
    EXPECT_TRUE(g_after_stop);
}

// After a stack overflow the filter still has the stack it asked for: here
// it uses a good part of it before it ends the process.
platform::FaultVerdict report_overflow(const platform::FaultInfo& fault) {
    volatile char report[256 << 10];
    std::memset(const_cast<char*>(report), 'x', sizeof report);
    ::ExitProcess((fault.code & 0xFFFF) == 0xFD && report[1000] == 'x' ? 170 : 1);
}

TEST_F(RegionDeathTest, AStackOverflowIsFilteredOnTheFiltersOwnStack) {
    EXPECT_EXIT(platform::run_protected([](void*) { test_support::overflow_stack(); }, nullptr, report_overflow,
                                        kFilterStack),
                testing::ExitedWithCode(170), "");
}

// A fault inside the filter is not filtered again: the process ends with its code.
platform::FaultVerdict fault_again(const platform::FaultInfo&) {
    test_support::write_null();
    return platform::FaultVerdict::handle;
}

TEST_F(RegionDeathTest, AFaultInsideTheFilterEndsTheProcess) {
    EXPECT_EXIT(platform::run_protected(write_null, nullptr, fault_again, kFilterStack),
                testing::ExitedWithCode(kAccessViolationStatus), "");
}

TEST_F(RegionDeathTest, ADeclinedFaultTakesTheSystemsCourse) {
    EXPECT_EXIT(platform::run_protected(write_null, nullptr, decline, kFilterStack),
                testing::ExitedWithCode(kAccessViolationStatus), "");
}

// Faults of other threads are theirs: the region's filter never sees them.
platform::FaultVerdict must_not_run(const platform::FaultInfo&) { ::ExitProcess(1); }
DWORD WINAPI fault_on_thread(void*) {
    test_support::write_null();
    return 0;
}
void fault_on_another_thread(void*) {
    const HANDLE thread = ::CreateThread(nullptr, 0, fault_on_thread, nullptr, 0, nullptr);
    ::WaitForSingleObject(thread, INFINITE);
}

TEST_F(RegionDeathTest, FaultsOfOtherThreadsAreNotFiltered) {
    EXPECT_EXIT(platform::run_protected(fault_on_another_thread, nullptr, must_not_run, kFilterStack),
                testing::ExitedWithCode(kAccessViolationStatus), "");
}

TEST_F(RegionDeathTest, NoErrorBoxesSetsTheErrorMode) {
    EXPECT_EXIT(
        {
            platform::suppress_fault_dumps();
            ::ExitProcess(::GetErrorMode());
        },
        testing::ExitedWithCode(0x8003), "");
}

}  // namespace
