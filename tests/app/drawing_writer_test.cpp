// The drawing of each kind of plan, written to a file as a run writes it and
// read back record by record: the edges of each option's range, and what a
// plan without points or with unplaceable points must still get right.
#include "app/drawing_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/dxf/tables.h"
#include "app/option_parser.h"
#include "io/open_close_unit.h"
#include "support/temp_dir.h"

namespace {

constexpr std::int32_t kUnit = 20;

app::RunPlan plan_of(std::vector<const char*> arguments) {
    app::SurveyChoices choices;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        app::OptionProblem problem;
        EXPECT_EQ(app::take_survey_option(arguments, at, choices, problem), app::OptionOutcome::taken) << arguments[at];
    }
    return app::resolve_run_plan(choices);
}

struct Point {
    double x, y, z;
    std::string_view name = {}, code = {};
};

// The drawing's records, without their line ends.
std::vector<std::string> draw(const app::RunPlan& plan, const std::vector<Point>& points) {
    test_support::TempDir dir;
    app::PointStore store{plan.precision};
    store.keep_texts(plan.table.keep_names, plan.table.keep_codes);
    for (const Point& p : points) {
        EXPECT_TRUE(store.append(p.x, p.y, p.z));
        if (plan.table.keep_names || plan.table.keep_codes) {
            EXPECT_TRUE(store.add_texts(p.name, p.code));
        }
    }
    const std::string path = dir.file("out.dxf");
    EXPECT_TRUE(io::open_unit(kUnit, path, platform::Missing::create).ok());
    EXPECT_EQ(app::write_drawing(kUnit, plan, store), 0);
    EXPECT_TRUE(io::close_unit(kUnit).ok());
    std::vector<std::string> records;
    const std::string bytes = test_support::read_bytes(path);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        records.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return records;
}

// The value after the first group code `code` that follows the record `after`.
std::string value_after(const std::vector<std::string>& records, std::string_view after, std::string_view code) {
    std::size_t k = 0;
    while (k < records.size() && records[k] != after) ++k;
    for (k += 1; k + 1 < records.size(); k += 1)
        if (records[k] == code) return records[k + 1];
    return "<none>";
}

std::size_t count_of(const std::vector<std::string>& records, std::string_view record) {
    std::size_t n = 0;
    for (const std::string& r : records) n += r == record;
    return n;
}

TEST(Drawing, TheClassicPlanIsTheClassicFile) {
    const std::vector<std::string> records = draw({}, {{1.5, -2.25, 0}});
    const std::vector<std::string> expected = {
        "  0", "SECTION", "  2", "HEADER", "  9", "$ACADVER", "  1", "AC1009", "  9", "$PDMODE", " 70", "    35",
        "  9", "$PDSIZE", " 40", "0.0", "  0", "ENDSEC", "  0", "SECTION", "  2", "TABLES", "  0", "ENDSEC",
        "  0", "SECTION", "  2", "BLOCKS", "  0", "ENDSEC", "  0", "SECTION", "  2", "ENTITIES",
        "  0", "POINT", "  5", "1", "  8", "0", " 10", "1.5", " 20", "-2.2", " 30", ".0",
        "  0", "ENDSEC", "  0", "EOF"};
    EXPECT_EQ(records, expected);
}

// Coordinates at the edges of --decimals, and values the quick ways of the
// decimal field must round as the exact way does.
TEST(Drawing, CoordinatesAtChosenDecimals) {
    struct Case {
        const char* decimals;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"0", 2.5, "2"},          {"0", 3.5, "4"},           {"0", -0.4, "0"},
        {"9", 0.1, "0.100000000"}, {"9", 5.000000001e-10, "0.000000001"},
        {"9", 4.99e-10, "0.000000000"}, {"9", -4.99e-10, "0.000000000"}, {"9", 1e-300, "0.000000000"},
        {"3", 4500000.1235, "4500000.123"}, {"3", 0.0005, "0.001"}, {"3", 0.0015, "0.002"},
        {"2", 1e15, "1000000000000000.00"}, {"2", -999999999999999.875, "-999999999999999.88"},
        {"1", 1.7976931348623157e308, nullptr},
    };
    for (const Case& c : cases) {
        const auto records = draw(plan_of({"--decimals", c.decimals}), {{c.value, 0, 0}});
        const std::string x = value_after(records, "POINT", " 10");
        if (c.text != nullptr) {
            EXPECT_EQ(x, c.text) << c.decimals << " " << c.value;
        } else {
            EXPECT_EQ(x.size(), 309u + 2u) << x;  // the largest double, whole
        }
    }
}

TEST(Drawing, PointStyleAndSizeReachTheHeader) {
    struct Case {
        std::vector<const char*> arguments;
        const char* mode;
        const char* size;
    };
    const Case cases[] = {
        {{"--point-style", "4"}, "     4", "0.0"},
        {{"--point-style", "100,2"}, "   100", "2.0"},
        {{"--point-style", "0,0.05"}, "     0", "0.05"},
        {{"--point-style", "3,-5"}, "     3", "-5.0"},
        {{"--point-style", "35,0.123456789"}, "    35", "0.123456789"},
    };
    for (const Case& c : cases) {
        const auto records = draw(plan_of(c.arguments), {});
        EXPECT_EQ(value_after(records, "$PDMODE", " 70"), c.mode) << c.arguments[1];
        EXPECT_EQ(value_after(records, "$PDSIZE", " 40"), c.size) << c.arguments[1];
    }
}

TEST(Drawing, ExtentsComeFromFinitePointsOnly) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const app::RunPlan plan = plan_of({"--extents", "--decimals", "1"});
    EXPECT_EQ(count_of(draw(plan, {}), "$EXTMIN"), 0u);
    EXPECT_EQ(count_of(draw(plan, {{nan, 1, 2}, {1, inf, 2}}), "$EXTMIN"), 0u);
    const auto records = draw(plan, {{nan, 1, 2}, {5, -1, 2}, {1, inf, 2}, {-3, 4, 8}});
    EXPECT_EQ(value_after(records, "$EXTMIN", " 10"), "-3.0");
    EXPECT_EQ(value_after(records, "$EXTMIN", " 20"), "-1.0");
    EXPECT_EQ(value_after(records, "$EXTMAX", " 10"), "5.0");
    EXPECT_EQ(value_after(records, "$EXTMAX", " 30"), "8.0");
}

// Labels with and without layers, names or positions, and the label height
// the point size gives (a size that is no length leaves 1).
TEST(Drawing, LabelsAndLayers) {
    const std::vector<Point> points = {{1, 2, 3, "P1", "tree"}, {4, 5, 6, "", "Wall"}, {7, 8, 9, "P3", ""}};
    {
        const auto records = draw(plan_of({"--labels"}), points);
        EXPECT_EQ(count_of(records, "TEXT"), 3u);  // no name column: the positions
        EXPECT_EQ(value_after(records, "TEXT", "  1"), "1");
        EXPECT_EQ(value_after(records, "TEXT", " 40"), "1.0");
        EXPECT_EQ(count_of(records, "LAYER"), 0u);
    }
    {
        app::RunPlan plan = plan_of({"--columns", "pxyzd", "--labels", "--layers", "--point-style", "3,0"});
        const auto records = draw(plan, points);
        EXPECT_EQ(count_of(records, "TEXT"), 2u);  // an empty name shows nothing
        EXPECT_EQ(value_after(records, "TEXT", " 40"), "1.0");
        EXPECT_EQ(value_after(records, "TABLE", " 70"), "     3");
        EXPECT_EQ(count_of(records, "TREE"), 3u);  // its table entry, its point, its label
        EXPECT_EQ(count_of(records, "WALL"), 2u);  // no label
        EXPECT_EQ(value_after(records, "$PDSIZE", " 40"), "0.0");
        plan = plan_of({"--columns", "pxyzd", "--labels", "--point-style", "3,0.25"});
        EXPECT_EQ(value_after(draw(plan, points), "TEXT", " 40"), "0.25");
    }
}

TEST(Drawing, CountsFitTheirFields) {
    struct Case {
        std::int32_t value;
        const char* text;
    };
    for (const Case& c : {Case{7, "     7"}, Case{999999, "999999"}, Case{1000000, "1000000"},
                          Case{2000000, "2000000"}, Case{-99999, "-99999"}, Case{-100000, "-100000"}}) {
        char text[16];
        const app::dxf::Record record = app::dxf::integer_value(c.value);
        const io::FieldText formatted = io::format_field(record.spec, record.value, text);
        EXPECT_EQ(std::string_view(text, formatted.length), c.text);
    }
}

}  // namespace
