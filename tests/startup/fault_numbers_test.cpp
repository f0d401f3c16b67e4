#include <gtest/gtest.h>

#include "startup/faults.h"

namespace {

namespace code = platform::fault_code;

TEST(FaultNumber, LowSixteenBitsSelectTheRow) {
    const struct {
        std::uint32_t code;
        int number;
    } cases[] = {
        {code::access_violation, 157}, {0xC0000005, 157},  // the high bits do not count
        {code::float_divide_by_zero, 73}, {code::stack_overflow, 170},
        {0x0001, 172}, {0x0007, 172}, {0xE0000B00, 172},   // no row
    };
    for (const auto& c : cases) EXPECT_EQ(rt::fault_number(c.code, nullptr), c.number) << std::hex << c.code;
}

TEST(FaultNumber, MultipleVectorFaultsChooseByFirstFlag) {
    const struct {
        std::uint32_t flags;
        int number;
    } cases[] = {
        {0x10, 74}, {0x20, 140},
        {0x3F, 65},         // invalid comes first
        {0x0C | 0x20, 73},  // divide by zero before overflow and precision
        {0x18, 72},         // overflow before underflow
        {0x02, 65},         // the denormal flag alone matches nothing
    };
    for (std::uint32_t fault_code : {code::vector_multiple_faults, code::vector_multiple_traps})
        for (const auto& c : cases)
            EXPECT_EQ(rt::fault_number(fault_code, &c.flags), c.number) << std::hex << c.flags;
    EXPECT_EQ(rt::fault_number(code::vector_multiple_traps, nullptr), 65);
}

}  // namespace
