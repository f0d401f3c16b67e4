#include "app/point_store.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string name_of(std::size_t i) {
    // Runs that count up (kept as one byte, read back by counting), names
    // that break the count (across 9, 99, 999 too), and long names that
    // straddle the stream's blocks.
    if (i % 1000 < 600) return std::to_string(i + 1);
    if (i % 1000 < 700) return std::to_string(i % 7) + "0";
    if (i % 1000 == 700) return "007";
    if (i % 1000 < 720) return std::to_string(98 + i % 1000 - 701);
    return std::string(i % 301, static_cast<char>('a' + i % 26));
}

// Points, names and layers cross their blocks' ends and come back as they went in.
TEST(PointStore, GivesBackWhatWentIn) {
    app::PointStore points{app::Precision::wide};
    points.keep_texts(true, true, true);
    const std::size_t count = 3 * app::PointStore::kRunPoints + 5;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = static_cast<double>(i);
        ASSERT_TRUE(points.append(v, -v, v / 4));
        const std::string code = "code" + std::to_string(i % 200);
        ASSERT_TRUE(points.add_texts(name_of(i), code, code + " note"));
    }
    ASSERT_EQ(points.size(), count);
    app::PointStore::TextReader texts{points};
    for (std::size_t i = 0; i < count; ++i) {
        double x = 0, y = 0, z = 0;
        points.coordinates<double>(i, x, y, z);
        ASSERT_EQ(y, -static_cast<double>(i));
        ASSERT_EQ(z, static_cast<double>(i) / 4);
        std::string_view name, description;
        std::uint32_t layer = 0;
        texts.next(name, layer, description);
        ASSERT_EQ(name, name_of(i)) << i;
        ASSERT_EQ(points.layers().name(layer), "code" + std::to_string(i % 200)) << i;
        ASSERT_EQ(description, "code" + std::to_string(i % 200) + " note") << i;
    }
    const app::Extents box = points.extents();
    EXPECT_EQ(box.low[1], -static_cast<double>(count - 1));
    EXPECT_EQ(box.high[0], static_cast<double>(count - 1));
}

TEST(PointStore, PlainNumbers) {
    EXPECT_EQ(app::plain_number("0"), 0u);
    EXPECT_EQ(app::plain_number("120"), 120u);
    EXPECT_EQ(app::plain_number("999999999999999999"), 999999999999999999u);
    for (const char* name : {"", "01", "1a", "-1", "+1", " 1", "1000000000000000000"})
        EXPECT_EQ(app::plain_number(name), app::kNoNumber) << name;
}

}  // namespace
