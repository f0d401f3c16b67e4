#include "platform/cpu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

TEST(IdentifyCpu, VendorRegistersSpellTheVendorInOrder) {
    const platform::CpuIdentity id = platform::identify_cpu();
    ASSERT_GE(id.max_leaf, 1u);
    char vendor[13] = {};
    std::memcpy(vendor, &id.vendor_ebx, 4);
    std::memcpy(vendor + 4, &id.vendor_edx, 4);
    std::memcpy(vendor + 8, &id.vendor_ecx, 4);
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.rfind("vendor_id", 0) == 0) break;
    if (line.empty()) GTEST_SKIP() << "no vendor in /proc/cpuinfo";
    EXPECT_NE(line.find(vendor), std::string::npos) << line << " vs " << vendor;
}

TEST(VectorControlMask, ComesFromTheRightPlaceOfTheSaveArea) {
    // Every processor with the state save supports the 16 classic bits except
    // possibly denormals-are-zero; the field is 0 only on the very first ones.
    const std::uint32_t mask = platform::vector_control_mask();
    if (mask == 0) GTEST_SKIP() << "processor leaves the mask field empty";
    EXPECT_EQ(mask & 0xFFBFu, 0xFFBFu) << std::hex << mask;
    EXPECT_EQ(mask >> 18, 0u) << std::hex << mask;
}

}  // namespace
