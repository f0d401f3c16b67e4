#include "io/io_size_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using io::kSettingBad;
using io::kSettingUnset;

TEST(IoSizeSettings, ParsesEachVariableWithItsRange) {
    const std::string very_long(10000, '9');
    struct Case {
        const char* block_size;
        const char* buffer_count;
        const char* record_length;
        io::IoSizeSettings expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, {kSettingUnset, kSettingUnset, kSettingUnset}},
        {"0", "0", "0", {0, 0, 0}},
        {"512", "1", "2147483647", {512, 1, 2147483647}},
        {"513", "128", "2147483648", {1024, kSettingBad, kSettingBad}},
        {"2147467265", "1x", "abc", {kSettingBad, kSettingBad, kSettingBad}},
        {very_long.c_str(), " 1", "+", {kSettingBad, kSettingBad, kSettingBad}},
        {"0000000000000000000512", "+7", "-0", {512, 7, 0}},
        // Set but empty: text that does not convert, not an unset variable.
        {"", "", "", {kSettingBad, kSettingBad, kSettingBad}},
    };
    for (const Case& c : cases) {
        const io::IoSizeSettings got = io::parse_io_size_settings(c.block_size, c.buffer_count, c.record_length);
        EXPECT_EQ(got.block_size, c.expected.block_size) << (c.block_size ? c.block_size : "null");
        EXPECT_EQ(got.buffer_count, c.expected.buffer_count) << (c.buffer_count ? c.buffer_count : "null");
        EXPECT_EQ(got.formatted_record_length, c.expected.formatted_record_length)
            << (c.record_length ? c.record_length : "null");
    }
}

}  // namespace
