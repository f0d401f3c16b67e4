#include "startup/fp_modes.h"

#include <gtest/gtest.h>

#include "platform/cpu.h"

namespace {

constexpr std::uint32_t kEbx = 0x756E6547, kEdx = 0x49656E69, kEcx = 0x6C65746E;
constexpr std::uint32_t kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26, kSse3 = 1u;

platform::CpuIdentity classed(std::uint32_t family, std::uint32_t edx, std::uint32_t ecx = 0) {
    return {1, kEbx, kEdx, kEcx, family << 8, ecx, edx};
}

TEST(ClassFromIdentity, VendorFamilyAndFeatures) {
    struct Case {
        const char* name;
        platform::CpuIdentity id;
        std::uint32_t low, high;  // the class must lie in [low, high]
    };
    const Case cases[] = {
        {"no identification", {}, 1, 1},
        {"other vendor", {1, 0x68747541, 0x69746E65, 0x444D4163, 6u << 8, 0, kSse | kSse2}, 1, 1},
        {"vendor registers swapped", {1, kEbx, kEcx, kEdx, 6u << 8, 0, kSse2}, 1, 1},
        {"family 5 with MMX", classed(5, kMmx), 4, 4},
        {"family 6 without SSE2", classed(6, kMmx | kSse), 1, 127},
        {"family 6 with SSE2", classed(6, kSse | kSse2), 1024, 0xFFFFFFFF},
        {"family 15 with SSE2", classed(15, kSse | kSse2), 512, 512},
        {"family 15 with SSE3", classed(15, kSse | kSse2, kSse3), 2048, 2048},
        // Only bits 8 to 11 count: the extended family does not.
        {"extended family bits", {1, kEbx, kEdx, kEcx, (1u << 20) | (15u << 8), 0, kSse2}, 512, 512},
    };
    for (const Case& c : cases) {
        const std::uint32_t cls = rt::class_from_identity(c.id);
        EXPECT_GE(cls, c.low) << c.name;
        EXPECT_LE(cls, c.high) << c.name;
        EXPECT_EQ(cls & (cls - 1), 0u) << c.name << ": not a single bit";
    }
}

TEST(FpModeBits, RequestsAreCutByClassAndSupportedMask) {
    using namespace rt;
    constexpr std::uint32_t full = 0x2FFFF, no_daz = 0xFFBF;
    struct Case {
        std::uint32_t cls, request, mask, expected;
    };
    const Case cases[] = {
        {1, 7, full, 0},  // below the threshold nothing changes
        {128, 1, 0, kVectorFlushToZero},  // flush-to-zero needs no mask
        {1024, 3, full, kVectorFlushToZero | kVectorDenormalsAreZero},
        {1024, 3, no_daz, kVectorFlushToZero},
        {1024, 4, full, kVectorMisalignedMask},
        {1024, 4, 0xFFFF, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fp_mode_bits(c.cls, c.request, c.mask), c.expected)
            << "class " << c.cls << " request " << c.request << " mask " << std::hex << c.mask;
}

TEST(VectorControlWithTraps, ZeroMasksEverythingAndKeepsTheRest) {
    using namespace rt;
    struct Case {
        std::uint32_t control, settings, expected;
    };
    const Case cases[] = {
        {0x0000, 0, 0x1F80},
        {0x6000 | 0x3F, 0, 0x7FBF},           // rounding and status flags stay
        {0x1F80, 1u << 2, 0x1D80},            // zero divide unmasked
        {0x1F80, 1u << 16, 0x1F80 | 0x8000},  // flush-to-zero added
    };
    for (const Case& c : cases)
        EXPECT_EQ(vector_control_with_traps(c.control, c.settings), c.expected) << std::hex << c.control;
}

}  // namespace
