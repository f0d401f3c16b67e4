#include "platform/register_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fault_trap.h"
#include "support/faulting_code.h"

namespace {

// The groups of a real fault's context, read while the filter runs (the
// context lives only that long).
platform::RegisterDump g_dump;
bool g_read = false;

void fault(void*) { test_support::write_null(); }

platform::FaultVerdict read_dump(const platform::FaultInfo& info) {
    g_read = platform::read_register_dump(info, g_dump);
    return platform::FaultVerdict::handle;
}

std::vector<std::string> labels(const platform::RegisterGroup& group) {
    std::vector<std::string> out;
    for (int i = 0; i < group.count; ++i) out.emplace_back(group.values[i].label);
    return out;
}

TEST(RegisterDump, GroupsOfARealFaultInTheirOrder) {
    ASSERT_FALSE(platform::run_protected(fault, nullptr, read_dump, std::size_t{64} << 10));
    ASSERT_TRUE(g_read);
    ASSERT_GE(g_dump.count, 3);
    EXPECT_EQ(std::string(g_dump.groups[0].title), "Exception Context:  Processor Control and Status Registers.");
    EXPECT_EQ(std::string(g_dump.groups[1].title), "Exception Context:  Processor Integer Registers.");
    const platform::RegisterGroup& segments = g_dump.groups[2];
    EXPECT_EQ(std::string(segments.title), "Exception Context:  Processor Segment Registers.");
    // All four segment registers on one line, as the dump lays them out.
    EXPECT_EQ(labels(segments), (std::vector<std::string>{"DS:  ", "  ES:   ", "  FS:   ", "  GS:   "}));
    EXPECT_TRUE(segments.values[3].ends_line);
    EXPECT_EQ(labels(g_dump.groups[0]).front(), "EFlags:  ");
    EXPECT_TRUE(g_dump.groups[0].values[0].ends_line);  // EFlags stands on a line of its own
}

TEST(RegisterDump, NoContextNoGroups) {
    platform::RegisterDump dump;
    dump.add_group("left over");
    EXPECT_FALSE(platform::read_register_dump(platform::FaultInfo{}, dump));
    EXPECT_EQ(dump.count, 0);
}

TEST(RegisterDump, AFullGroupKeepsItsValues) {
    platform::RegisterDump dump;
    platform::RegisterGroup& group = dump.add_group("g");
    for (int i = 0; i < platform::RegisterGroup::kMaxValues + 3; ++i) group.add("x", static_cast<unsigned>(i));
    EXPECT_EQ(group.count, platform::RegisterGroup::kMaxValues);
    for (int i = 0; i < platform::RegisterDump::kMaxGroups + 2; ++i) dump.add_group("more");
    EXPECT_EQ(dump.count, platform::RegisterDump::kMaxGroups);
    EXPECT_EQ(std::string(dump.groups[0].title), "g");
}

}  // namespace
