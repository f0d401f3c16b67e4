#include "platform/win32/fault_codes.h"

#include <gtest/gtest.h>

#include "platform/win32/break_request.h"

namespace {

using platform::win32::fault_info_of;

EXCEPTION_RECORD record_of(DWORD code, void* address, std::initializer_list<ULONG_PTR> parameters) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = code;
    record.ExceptionAddress = address;
    for (ULONG_PTR p : parameters) record.ExceptionInformation[record.NumberParameters++] = p;
    return record;
}

TEST(FaultInfoOf, CodeAddressAndBreakRequest) {
    void* const instruction = reinterpret_cast<void*>(0x00401000);
    const auto data = reinterpret_cast<const void*>(0x00000010);
    const struct {
        const char* what;
        EXCEPTION_RECORD record;
        const void* address;
        bool break_request;
    } cases[] = {
        // Access faults name the data address as their second parameter.
        {"access violation", record_of(EXCEPTION_ACCESS_VIOLATION, instruction, {1, 0x10}), data, false},
        {"in-page error", record_of(EXCEPTION_IN_PAGE_ERROR, instruction, {0, 0x10, 0xC000009C}), data, false},
        {"stack overflow", record_of(EXCEPTION_STACK_OVERFLOW, instruction, {1, 0x10}), data, false},
        // One without its parameters (raised by a program) has only the instruction.
        {"raised access violation", record_of(EXCEPTION_ACCESS_VIOLATION, instruction, {}), instruction, false},
        {"integer divide", record_of(EXCEPTION_INT_DIVIDE_BY_ZERO, instruction, {}), instruction, false},
        {"breakpoint instruction", record_of(EXCEPTION_BREAKPOINT, instruction, {0}), instruction, false},
        {"the program's own stop",
         record_of(EXCEPTION_BREAKPOINT, instruction, {platform::win32::kBreakRequestMark}), instruction, true},
        // The mark means nothing on another code.
        {"marked single step",
         record_of(EXCEPTION_SINGLE_STEP, instruction, {platform::win32::kBreakRequestMark}), instruction, false},
        {"unlisted", record_of(0xE0001234, instruction, {}), instruction, false},
    };
    CONTEXT context{};
    for (const auto& c : cases) {
        const platform::FaultInfo fault = fault_info_of(c.record, &context);
        // The platform's own code, whole: its low 16 bits name the fault.
        EXPECT_EQ(fault.code, c.record.ExceptionCode) << c.what;
        EXPECT_EQ(fault.address, c.address) << c.what;
        EXPECT_EQ(fault.context, &context) << c.what;
        EXPECT_EQ(fault.break_request, c.break_request) << c.what;
    }
}

}  // namespace
