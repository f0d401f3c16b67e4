#include "io/io_size_settings.h"

#include <gtest/gtest.h>

#include <string>


namespace {

using rt::kSettingBad;
using rt::kSettingUnset;

TEST(IoSizeSettings, ParsesEachVariableWithItsRange) {
    const std::string very_long(10000, '9');
    struct Case {
        const char* block_size;
        const char* buffer_count;
        const char* record_length;
        rt::IoSizeSettings expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, {kSettingUnset, kSettingUnset, kSettingUnset, kSettingUnset}},
        {"0", "0", "0", {0, 0, 0, kSettingUnset}},
        {"512", "1", "2147483647", {512, 1, 2147483647, kSettingUnset}},
        {"513", "128", "2147483648", {1024, kSettingBad, kSettingBad, kSettingUnset}},
        {"2147467265", "1x", "abc", {kSettingBad, kSettingBad, kSettingBad, kSettingUnset}},
        {very_long.c_str(), " 1", "+", {kSettingBad, kSettingBad, kSettingBad, kSettingUnset}},
        {"0000000000000000000512", "+7", "-0", {512, 7, 0, kSettingUnset}},
    };
    for (const Case& c : cases) {
        const rt::IoSizeSettings got = rt::parse_io_size_settings(c.block_size, c.buffer_count, c.record_length, nullptr);
        EXPECT_EQ(got.block_size, c.expected.block_size) << (c.block_size ? c.block_size : "null");
        EXPECT_EQ(got.buffer_count, c.expected.buffer_count) << (c.buffer_count ? c.buffer_count : "null");
        EXPECT_EQ(got.formatted_record_length, c.expected.formatted_record_length)
            << (c.record_length ? c.record_length : "null");
        EXPECT_EQ(got.unformatted_record_length, kSettingUnset);
    }
}

}  // namespace
