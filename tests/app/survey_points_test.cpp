#include "app/survey_points.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string name_of(std::size_t i) {
    // Runs that count up (kept as one byte), names that break the count, and
    // long names (two-byte lengths, straddling blocks).
    if (i % 1000 < 600) return std::to_string(i + 1);
    if (i % 1000 < 700) return std::to_string(i % 7) + "0";
    if (i % 1000 == 700) return "007";
    return std::string(i % 301, static_cast<char>('a' + i % 26));
}

// Points and their tags cross their blocks' ends and come back as they went in.
TEST(SurveyPoints, BlocksGiveBackWhatWentIn) {
    app::SurveyPoints points;
    points.named = true;
    const std::size_t count = 3 * app::SurveyPoints::kBlockPoints + 5;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = static_cast<double>(i);
        ASSERT_TRUE(points.add({v, -v, v / 4}));
        ASSERT_TRUE(points.add_tags(name_of(i), static_cast<std::uint32_t>(i % 200)));
    }
    ASSERT_EQ(points.size(), count);
    app::SurveyPoints::TagReader tags{points};
    std::string scratch;
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(points.at(i).y, -static_cast<double>(i));
        ASSERT_EQ(points.at(i).z, static_cast<double>(i) / 4);
        std::string_view name;
        std::uint32_t layer = 0;
        tags.next(name, layer, scratch);
        ASSERT_EQ(name, name_of(i)) << i;
        ASSERT_EQ(layer, i % 200) << i;
    }
    EXPECT_EQ(points.box.low.y, -static_cast<double>(count - 1));
    EXPECT_EQ(points.box.high.x, static_cast<double>(count - 1));
}

// Without chosen decimals the points are what the classic list holds: the
// single-precision values, and the box is theirs.
TEST(SurveyPoints, SinglePrecisionHoldsTheRoundedValues) {
    app::SurveyPoints points{true};
    const std::size_t count = app::SurveyPoints::kBlockPoints + 3;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = 4500000.123 + static_cast<double>(i) / 10;
        ASSERT_TRUE(points.add({v, -v / 1e7, 0.1}));
    }
    for (std::size_t i = 0; i < count; ++i) {
        const double v = 4500000.123 + static_cast<double>(i) / 10;
        ASSERT_EQ(points.at(i).x, static_cast<double>(static_cast<float>(v))) << i;
        ASSERT_EQ(points.at(i).y, static_cast<double>(static_cast<float>(-v / 1e7))) << i;
        ASSERT_EQ(points.at(i).z, static_cast<double>(0.1f)) << i;
    }
    EXPECT_EQ(points.box.high.x, static_cast<double>(static_cast<float>(4500000.123 + static_cast<double>(count - 1) / 10)));
    EXPECT_EQ(points.box.low.z, static_cast<double>(0.1f));
}

TEST(SurveyPoints, PlainNumbers) {
    EXPECT_EQ(app::plain_number("0"), 0u);
    EXPECT_EQ(app::plain_number("120"), 120u);
    EXPECT_EQ(app::plain_number("999999999999999999"), 999999999999999999u);
    for (const char* name : {"", "01", "1a", "-1", "+1", " 1", "1000000000000000000"})
        EXPECT_EQ(app::plain_number(name), app::kNoNumber) << name;
}

}  // namespace
