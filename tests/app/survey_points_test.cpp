#include "app/survey_points.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Names and points cross their blocks' ends and come back as they went in.
TEST(SurveyPoints, BlocksGiveBackWhatWentIn) {
    app::SurveyPoints points;
    const std::size_t count = 3 * app::SurveyPoints::kBlockPoints + 5;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = static_cast<double>(i);
        ASSERT_TRUE(points.add({v, -v, v / 4}));
        // Lengths 0 to 300: two-byte counts, and names that straddle blocks.
        const std::string name(i % 301, static_cast<char>('a' + i % 26));
        ASSERT_TRUE(points.names.append_count(static_cast<std::uint32_t>(name.size())) && points.names.append(name));
    }
    ASSERT_EQ(points.size(), count);
    app::ByteStream::Reader names{points.names};
    std::string scratch;
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(points.at(i).y, -static_cast<double>(i));
        ASSERT_EQ(points.at(i).z, static_cast<double>(i) / 4);
        ASSERT_EQ(names.bytes(names.count(), scratch), std::string(i % 301, static_cast<char>('a' + i % 26))) << i;
    }
    EXPECT_EQ(points.box.low.y, -static_cast<double>(count - 1));
    EXPECT_EQ(points.box.high.x, static_cast<double>(count - 1));
}

}  // namespace
