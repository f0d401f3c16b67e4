#include "app/linework/line_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/linework/line_codes.h"
#include "app/linework/line_controls.h"
#include "app/linework/line_summary.h"

namespace {

using app::linework::kNoLine;
using app::linework::LineControl;

struct Drawn {
    std::uint32_t string;
    std::vector<std::uint32_t> points;
    bool closed;
    bool operator==(const Drawn&) const = default;
};

std::vector<Drawn> drawn(const app::linework::LineWork& work) {
    std::vector<Drawn> lines;
    for (std::size_t k = 0; k < work.size(); ++k) {
        Drawn line{work.string_of(k), {}, work.closed(k)};
        for (const std::uint32_t point : work.vertices(k)) line.points.push_back(point);
        EXPECT_EQ(line.points.size(), work.vertex_count(k));
        lines.push_back(line);
    }
    return lines;
}

// A coded survey as a crew shoots it, from its descriptions to its lines: two
// road edges in turn with numbered codes, a building closed with C, a tree
// between them, a B restart, a one-point fence and lower-case words.
TEST(LineBuilder, CodedSurveyFromItsDescriptions) {
    const char* const descriptions[] = {
        "EP1 B CURB", "EP2 B", "EP1", "EP2", "TREE OAK 12", "BLD B", "EP1", "BLD", "EP2",
        "BLD", "BLD C", "EP1 B", "EP2", "EP1", "FL", "ep1 e", "EP2 E",
    };
    app::linework::LineCodes codes;
    for (const char* code : {"EP", "BLD", "FL"}) ASSERT_EQ(codes.add(code), app::linework::LineCodeFault::none);
    app::linework::LineBuilder builder;
    for (std::uint32_t i = 0; i < std::size(descriptions); ++i) {
        const auto parts = app::linework::split_description(descriptions[i]);
        LineControl control;
        app::linework::ControlFault fault;
        ASSERT_TRUE(app::linework::parse_line_controls(parts.after_code, control, fault)) << i;
        builder.add(i, codes.string_for(parts.code), control);
    }
    const app::linework::LineWork work = builder.finish();
    // Strings in order of appearance: EP1 0, EP2 1, BLD 2, FL 3.
    const std::vector<Drawn> expected{
        {0, {0, 2, 6}, false}, {1, {1, 3, 8, 12, 16}, false}, {2, {5, 7, 9, 10}, true}, {0, {11, 13, 15}, false}};
    EXPECT_EQ(drawn(work), expected);
    EXPECT_EQ(app::linework::line_summary(work, codes.string_names()),
              "3dpoint: 4 lines drawn, 1 one-point string skipped (code FL)\n");
}

TEST(LineBuilder, ControlWordsAndOrder) {
    constexpr LineControl n = LineControl::none, b = LineControl::begin, e = LineControl::end,
                          c = LineControl::close;
    struct Point {
        std::uint32_t string;
        LineControl control;
    };
    struct Case {
        const char* what;
        std::vector<Point> points;  // point i is the i-th
        std::vector<Drawn> lines;
        std::uint64_t skipped;
    };
    const Case cases[] = {
        {"E ends: the next point begins anew", {{0, n}, {0, e}, {0, n}, {0, n}}, {{0, {0, 1}, false}, {0, {2, 3}, false}}, 0},
        {"E alone is a line of one point", {{0, e}, {0, n}, {0, n}}, {{0, {1, 2}, false}}, 1},
        {"C on two points leaves them open", {{0, n}, {0, c}}, {{0, {0, 1}, false}}, 0},
        {"C on one point", {{0, c}}, {}, 1},
        {"C closes, the next point begins anew", {{0, b}, {0, n}, {0, c}, {0, n}, {0, n}},
         {{0, {0, 1, 2}, true}, {0, {3, 4}, false}}, 0},
        {"B after one point leaves it alone", {{0, n}, {0, b}, {0, b}, {0, n}}, {{0, {2, 3}, false}}, 2},
        {"lines in the order of their first points", {{0, n}, {1, n}, {1, n}, {1, e}, {0, n}},
         {{0, {0, 4}, false}, {1, {1, 2, 3}, false}}, 0},
        {"other points leave lines open", {{kNoLine, b}, {3, n}, {kNoLine, e}, {3, n}, {kNoLine, c}},
         {{3, {1, 3}, false}}, 0},
    };
    for (const Case& test : cases) {
        app::linework::LineBuilder builder;
        for (std::uint32_t i = 0; i < test.points.size(); ++i) builder.add(i, test.points[i].string, test.points[i].control);
        const app::linework::LineWork work = builder.finish();
        EXPECT_EQ(drawn(work), test.lines) << test.what;
        EXPECT_EQ(work.skipped(), test.skipped) << test.what;
    }
}

TEST(LineBuilder, SummaryNamesTheSkippedStrings) {
    const std::vector<std::string> names{"EP", "FL", "A", "B", "C\x1b", "D", "E", "F"};
    struct Case {
        std::vector<std::uint32_t> one_point_strings;  // each gives one line of one point, after a line of string 0
        const char* text;
    };
    const Case cases[] = {
        {{}, "3dpoint: 1 line drawn, no one-point string skipped\n"},
        {{1, 1}, "3dpoint: 1 line drawn, 2 one-point strings skipped (code FL)\n"},
        {{7, 4, 1, 2, 3, 5, 6}, "3dpoint: 1 line drawn, 7 one-point strings skipped (codes FL, A, B, C?, D, E and 1 more)\n"},
    };
    for (const Case& test : cases) {
        app::linework::LineBuilder builder;
        builder.add(0, 0, LineControl::none);
        builder.add(1, 0, LineControl::end);
        for (const std::uint32_t string : test.one_point_strings) builder.add(9, string, LineControl::end);
        EXPECT_EQ(app::linework::line_summary(builder.finish(), names), test.text);
    }
}

// What the lines hold beyond the points: 8 bytes a coded point, nothing
// copied or doubled as they grow.
TEST(LineBuilder, MemoryPerCodedPoint) {
    constexpr std::uint32_t kPoints = 1'000'000, kStrings = 100;
    app::linework::LineBuilder builder;
    for (std::uint32_t i = 0; i < kPoints; ++i) builder.add(i, i % kStrings, LineControl::none);
    const std::size_t bound = std::size_t{8} * kPoints + 128 * 1024;
    EXPECT_LE(builder.bytes_held(), bound);
    const app::linework::LineWork work = builder.finish();
    EXPECT_LE(work.bytes_held(), bound);
    ASSERT_EQ(work.size(), kStrings);
    EXPECT_EQ(work.vertex_count(kStrings - 1), kPoints / kStrings);
}

}  // namespace
