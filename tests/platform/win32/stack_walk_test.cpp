// The walk as Windows gives it: module names, routine names, lines and
// sources from the program's DWARF 4 information.
#include "platform/stack_walk.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fault_trap.h"
#include "platform/files.h"
#include "platform/win32/capture.h"
#include "support/faulting_code.h"

namespace {

struct Row {
    std::string image, routine, source;
    unsigned line = 0;
    std::uintptr_t pc = 0, return_address = 0;
};

bool keep_row(const platform::StackFrame& frame, void* state) {
    Row row;
    if (frame.image != nullptr) row.image = std::string(platform::file_name_part(frame.image));
    if (frame.routine != nullptr) row.routine = frame.routine;
    if (frame.source != nullptr) row.source = std::string(platform::file_name_part(frame.source));
    row.line = frame.line;
    row.pc = frame.pc;
    row.return_address = frame.return_address;
    static_cast<std::vector<Row>*>(state)->push_back(row);
    return true;
}

const std::string kProgram = "platform_tests.exe";
const std::string kThisFile = "stack_walk_test.cpp";

int g_walk_line = 0;

__attribute__((noinline)) std::vector<Row> walk_here() {
    std::vector<Row> rows;
    g_walk_line = __LINE__ + 1;
    const platform::WalkEnd end = platform::walk_stack(nullptr, keep_row, &rows);
    EXPECT_EQ(end, platform::WalkEnd::normal);
    return rows;
}

TEST(Win32StackWalk, FromInsideTheWalkThroughItsCallers) {
    const std::vector<Row> rows = walk_here();
    ASSERT_GE(rows.size(), 3u);
    // The walk itself comes first, then the routine that asked for it, at
    // the line of the call.
    EXPECT_EQ(rows[0].routine, "walk_stack");
    EXPECT_EQ(rows[0].image, kProgram);
    EXPECT_EQ(rows[1].routine, "walk_here");
    EXPECT_EQ(rows[1].source, kThisFile);
    EXPECT_EQ(rows[1].line, static_cast<unsigned>(g_walk_line));
    // The outermost frames are the system's, without names; the last one
    // has no return address.
    EXPECT_EQ(rows.back().return_address, 0u);
    bool system_module = false;
    for (const Row& row : rows) {
        if (row.image == "kernel32.dll" || row.image == "ntdll.dll") {
            system_module = true;
            EXPECT_TRUE(row.routine.empty()) << row.image;
            EXPECT_EQ(row.line, 0u);
        }
    }
    EXPECT_TRUE(system_module);
}

// The filter walks from the fault's context, as the report does.
std::vector<Row> g_fault_rows;

platform::FaultVerdict walk_from_fault(const platform::FaultInfo& fault) {
    platform::walk_stack(&fault, keep_row, &g_fault_rows);
    return platform::FaultVerdict::handle;
}

// Not a tail call: the routine keeps a frame of its own under the fault.
void fault_in_callee(void*) {
    test_support::write_null();
    asm volatile("");
}

TEST(Win32StackWalk, FromAFaultTheFaultingRoutineComesFirst) {
    g_fault_rows.clear();
    ASSERT_FALSE(platform::run_protected(fault_in_callee, nullptr, walk_from_fault, std::size_t{1} << 20));
    ASSERT_GE(g_fault_rows.size(), 2u);
    EXPECT_EQ(g_fault_rows[0].routine, "write_null");
    EXPECT_EQ(g_fault_rows[0].source, "faulting_code.h");
    EXPECT_NE(g_fault_rows[0].line, 0u);
    EXPECT_EQ(g_fault_rows[1].routine, "fault_in_callee");
    EXPECT_EQ(g_fault_rows[1].image, kProgram);
}

// A context taken inside the routine that called the capture (Windows) is
// stepped out to that routine's caller; one of the caller already (Wine)
// stays as it is.
TEST(SettleCapture, StepsOutOfTheCapturingRoutineOnly) {
    const DWORD frame[2] = {0x0012FF40, 0x00401234};  // saved frame pointer, return address
    const auto frame_address = reinterpret_cast<std::uintptr_t>(frame);

    CONTEXT own{};
    own.Ebp = static_cast<DWORD>(frame_address);
    own.Eip = 0x00405000;
    own.Esp = static_cast<DWORD>(frame_address - 64);
    platform::win32::settle_capture(own, frame_address);
    EXPECT_EQ(own.Ebp, 0x0012FF40u);
    EXPECT_EQ(own.Eip, 0x00401234u);
    EXPECT_EQ(own.Esp, frame_address + 8);

    CONTEXT callers{};
    callers.Ebp = 0x0012FF80;
    callers.Eip = 0x00406000;
    callers.Esp = 0x0012FF70;
    platform::win32::settle_capture(callers, frame_address);
    EXPECT_EQ(callers.Ebp, 0x0012FF80u);
    EXPECT_EQ(callers.Eip, 0x00406000u);
    EXPECT_EQ(callers.Esp, 0x0012FF70u);
}

}  // namespace
