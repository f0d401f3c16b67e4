// The 32-bit register groups of a Windows context, by what the context holds.
#include "platform/register_dump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A context whose every register has a value of its own.
CONTEXT sample_context(DWORD flags) {
    CONTEXT c{};
    c.ContextFlags = flags;
    c.EFlags = 0x10246;
    c.SegCs = 0x23;
    c.Eip = 0x00401615;
    c.SegSs = 0x2B;
    c.Esp = 0x0063FE00;
    c.Ebp = 0x0063FE18;
    c.Eax = 0xA1, c.Ebx = 0xB2, c.Ecx = 0xC3, c.Edx = 0xD4, c.Esi = 0xE5, c.Edi = 0xF6;
    c.SegDs = 0x2B, c.SegEs = 0x2B, c.SegFs = 0x63, c.SegGs = 0x6B;
    c.FloatSave.ControlWord = 0xFFFF037F;
    c.FloatSave.StatusWord = 0xFFFFB084;
    c.FloatSave.TagWord = 0xFFFFFFFF;
    c.FloatSave.ErrorOffset = 0x00401700;
    c.FloatSave.ErrorSelector = 0x23;
    c.FloatSave.DataOffset = 0x0063FD00;
    c.FloatSave.DataSelector = 0x2B;
    // Register 1 holds 1.0: significand 0x8000000000000000, exponent 0x3FFF.
    const unsigned char one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    std::memcpy(c.FloatSave.RegisterArea + 10, one, sizeof one);
    const DWORD mxcsr = 0x1D84;
    std::memcpy(c.ExtendedRegisters + 24, &mxcsr, sizeof mxcsr);
    return c;
}

std::vector<std::string> titles(const platform::RegisterDump& dump) {
    std::vector<std::string> out;
    for (int g = 0; g < dump.count; ++g) out.emplace_back(dump.groups[g].title);
    return out;
}

std::uint64_t value_of(const platform::RegisterGroup& group, const std::string& label) {
    for (int i = 0; i < group.count; ++i)
        if (label == group.values[i].label) return group.values[i].value;
    ADD_FAILURE() << "no " << label;
    return 0;
}

const std::string kControl = "Exception Context:  Processor Control and Status Registers.";
const std::string kInteger = "Exception Context:  Processor Integer Registers.";
const std::string kSegments = "Exception Context:  Processor Segment Registers.";
const std::string kFloat = "Exception Context:  Floating Point Control and Status Registers.";
const std::string kArea = "Exception Context:  Floating Point RegisterArea.";

TEST(Win32RegisterDump, GroupsFollowWhatTheContextHolds) {
    const struct {
        DWORD flags;
        std::vector<std::string> groups;
    } cases[] = {
        {CONTEXT_CONTROL, {kControl}},
        {CONTEXT_INTEGER, {kInteger}},
        {CONTEXT_SEGMENTS | CONTEXT_INTEGER, {kInteger, kSegments}},
        {CONTEXT_FULL, {kControl, kInteger, kSegments}},
        {CONTEXT_FULL | CONTEXT_FLOATING_POINT, {kControl, kInteger, kSegments, kFloat, kArea}},
        {CONTEXT_i386, {}},
    };
    for (const auto& c : cases) {
        const CONTEXT context = sample_context(c.flags);
        platform::FaultInfo fault;
        fault.context = &context;
        platform::RegisterDump dump;
        EXPECT_EQ(platform::read_register_dump(fault, dump), !c.groups.empty()) << std::hex << c.flags;
        EXPECT_EQ(titles(dump), c.groups) << std::hex << c.flags;
    }
}

TEST(Win32RegisterDump, ValuesInTheirPlaces) {
    const CONTEXT context = sample_context(CONTEXT_ALL);
    platform::FaultInfo fault;
    fault.context = &context;
    platform::RegisterDump dump;
    ASSERT_TRUE(platform::read_register_dump(fault, dump));
    ASSERT_EQ(dump.count, 5);
    const platform::RegisterGroup& control = dump.groups[0];
    EXPECT_EQ(value_of(control, "EFlags:  "), 0x10246u);
    EXPECT_EQ(value_of(control, "  EIP:  "), 0x00401615u);
    EXPECT_EQ(value_of(control, "  EBP:  "), 0x0063FE18u);
    EXPECT_EQ(value_of(dump.groups[1], "ESI: "), 0xE5u);
    EXPECT_EQ(value_of(dump.groups[2], "  FS:   "), 0x63u);
    const platform::RegisterGroup& fp = dump.groups[3];
    // The saved words as the context holds them, upper halves included.
    EXPECT_EQ(value_of(fp, "  StatusWord:   "), 0xFFFFB084u);
    EXPECT_EQ(value_of(fp, "  DataSelector:   "), 0x2Bu);
    EXPECT_EQ(value_of(fp, "MXCSR:   "), 0x1D84u);
    const platform::RegisterGroup& area = dump.groups[4];
    ASSERT_EQ(area.count, 16);
    EXPECT_EQ(area.values[2].value, 0x3FFFu);
    EXPECT_EQ(area.values[2].digits, 4);
    EXPECT_EQ(area.values[3].value, 0x8000000000000000u);
    EXPECT_EQ(area.values[3].digits, 16);
    EXPECT_TRUE(area.values[3].ends_line);
}

TEST(Win32RegisterDump, NoVectorControlWithoutExtendedRegisters) {
    const CONTEXT context = sample_context(CONTEXT_FULL | CONTEXT_FLOATING_POINT);
    platform::FaultInfo fault;
    fault.context = &context;
    platform::RegisterDump dump;
    ASSERT_TRUE(platform::read_register_dump(fault, dump));
    const platform::RegisterGroup& fp = dump.groups[3];
    for (int i = 0; i < fp.count; ++i) EXPECT_NE(std::string(fp.values[i].label), "MXCSR:   ");
}

}  // namespace
