// The drawing of each kind of plan, written to a file as a run writes it and
// read back record by record: the edges of each option's range, and what a
// plan without points or with unplaceable points must still get right.
#include "app/drawing_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    store.keep_texts(plan.table.keep_names, plan.table.keep_codes, plan.table.keep_descriptions);
    for (const Point& p : points) {
        EXPECT_TRUE(store.append(p.x, p.y, p.z));
        if (store.keeps_texts()) {
            EXPECT_TRUE(store.add_texts(p.name, p.code, p.code));
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
        {{"--point-style", "3,0"}, "     3", "0.0"},
        {{"--point-style", "3,1e-9"}, "     3", "0.000000001"},
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

// The drawing's entities as group code and value pairs, in order.
struct Entity {
    std::string type;
    std::vector<std::pair<std::string, std::string>> groups;
    std::string operator[](std::string_view code) const {
        for (const auto& [c, v] : groups)
            if (c == code) return v;
        return "<none>";
    }
};

std::vector<Entity> entities_of(const std::vector<std::string>& records, std::string_view section) {
    std::vector<Entity> found;
    std::size_t k = 0;
    while (k + 1 < records.size() && !(records[k] == "  2" && records[k + 1] == section)) ++k;
    for (k += 2; k + 1 < records.size() && records[k + 1] != "ENDSEC"; k += 2) {
        if (records[k] == "  0") found.push_back({records[k + 1], {}});
        else if (!found.empty()) found.back().groups.emplace_back(records[k], records[k + 1]);
    }
    return found;
}

std::vector<std::string> types_of(const std::vector<Entity>& entities) {
    std::vector<std::string> types;
    for (const Entity& e : entities) types.push_back(e.type);
    return types;
}

// Labels beside the points on the layers of their kinds; code layers in
// order of first use, each with the palette's next colour; handles unique.
TEST(Drawing, LabelsBesideThePointsOnLayersOfTheirKind) {
    const std::vector<Point> points = {{1, 2, 3, "P1", "tree"}, {4, 5, 6, "", "Wall"}, {7, 8, 9, "P3", ""}};
    {
        const auto entities = entities_of(draw(plan_of({"--labels"}), points), "ENTITIES");
        // No name column: the positions; the height of no size is 1.
        ASSERT_EQ(types_of(entities), (std::vector<std::string>{"POINT", "TEXT", "POINT", "TEXT", "POINT", "TEXT"}));
        EXPECT_EQ(entities[1]["  8"], "LABEL-NAME");
        EXPECT_EQ(entities[3]["  1"], "2");
        EXPECT_EQ(entities[1][" 40"], "1.0");
        EXPECT_EQ(entities[1][" 10"], "1.5");
        EXPECT_EQ(entities[1][" 20"], "2.5");
    }
    const auto records = draw(plan_of({"--columns", "pxyzd", "--labels", "name,elevation,description", "--layers",
                                       "--text-height", "0.5", "--decimals", "2", "--point-style", "3,4"}),
                              points);
    const auto entities = entities_of(records, "ENTITIES");
    ASSERT_EQ(types_of(entities), (std::vector<std::string>{"POINT", "TEXT", "TEXT", "TEXT", "POINT", "TEXT", "TEXT",
                                                            "POINT", "TEXT", "TEXT"}));
    struct Expected {
        std::size_t at;
        const char *layer, *x, *y, *text;
    };
    for (const Expected& e : {Expected{0, "tree", "1.00", "2.00", "<none>"}, Expected{1, "LABEL-NAME", "1.25", "2.25", "P1"},
                              Expected{2, "LABEL-ELEVATION", "1.25", "1.25", "3.00"},
                              Expected{3, "LABEL-DESCRIPTION", "1.25", "0.50", "tree"},
                              Expected{5, "LABEL-ELEVATION", "4.25", "4.25", "6.00"},
                              Expected{6, "LABEL-DESCRIPTION", "4.25", "3.50", "Wall"},
                              Expected{7, "0", "7.00", "8.00", "<none>"}, Expected{8, "LABEL-NAME", "7.25", "8.25", "P3"}}) {
        EXPECT_EQ(entities[e.at]["  8"], e.layer) << e.at;
        EXPECT_EQ(entities[e.at][" 10"], e.x) << e.at;
        EXPECT_EQ(entities[e.at][" 20"], e.y) << e.at;
        EXPECT_EQ(entities[e.at]["  1"], e.text) << e.at;
    }
    EXPECT_EQ(entities[1][" 40"], "0.5");
    const auto layers = entities_of(records, "TABLES");
    std::vector<std::string> names, colours;
    for (const Entity& layer : layers) {
        if (layer.type != "LAYER") continue;
        names.push_back(layer["  2"]);
        colours.push_back(layer[" 62"]);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"0", "tree", "Wall", "LABEL-NAME", "LABEL-ELEVATION", "LABEL-DESCRIPTION"}));
    EXPECT_EQ(colours, (std::vector<std::string>{"     7", "     1", "     3", "     7", "     7", "     7"}));
    std::vector<std::string> handles;
    for (const auto& group : {layers, entities})
        for (const Entity& e : group)
            if (e["  5"] != "<none>") handles.push_back(e["  5"]);
    std::sort(handles.begin(), handles.end());
    EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
}

// Blocks: one definition with its marker and three attribute definitions,
// and per point an insert with three attributes and their end.
TEST(Drawing, PointBlocksWithAttributes) {
    const std::vector<Point> points = {{1, 2, 3, "P1", "tree"}, {4, 5, 6, "", "Wall"}};
    const auto records = draw(plan_of({"--columns", "pxyzd", "--blocks", "--layers", "--decimals", "1"}), points);
    const auto blocks = entities_of(records, "BLOCKS");
    ASSERT_EQ(types_of(blocks), (std::vector<std::string>{"BLOCK", "POINT", "ATTDEF", "ATTDEF", "ATTDEF", "ENDBLK"}));
    EXPECT_EQ(blocks[0]["  2"], "SURVEY_POINT");
    EXPECT_EQ(blocks[0][" 70"], "     2");
    EXPECT_EQ(blocks[3]["  2"], "ELEVATION");
    EXPECT_EQ(blocks[3][" 20"], "-1.5");
    const auto entities = entities_of(records, "ENTITIES");
    ASSERT_EQ(types_of(entities), (std::vector<std::string>{"INSERT", "ATTRIB", "ATTRIB", "ATTRIB", "SEQEND", "INSERT",
                                                            "ATTRIB", "ATTRIB", "ATTRIB", "SEQEND"}));
    EXPECT_EQ(entities[0]["  2"], "SURVEY_POINT");
    EXPECT_EQ(entities[0][" 66"], "     1");
    EXPECT_EQ(entities[0]["  8"], "tree");
    EXPECT_EQ(entities[1]["  1"], "P1");
    EXPECT_EQ(entities[2]["  1"], "3.0");
    EXPECT_EQ(entities[3]["  1"], "tree");
    EXPECT_EQ(entities[6]["  1"], "");
    EXPECT_EQ(entities[8]["  2"], "DESCRIPTION");
    EXPECT_EQ(entities[9]["  8"], "Wall");
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

// Counted handles carry their digits as the numbers do: across 9, 99, 999.
TEST(Drawing, HandlesCountAsNumbers) {
    app::DecimalCounter counter{"BA"};
    std::array<char, 24> room;
    for (std::uint64_t n = 1; n <= 12000; ++n) ASSERT_EQ(counter.next(), app::dxf::tagged_handle("BA", n, room)) << n;
}

}  // namespace
