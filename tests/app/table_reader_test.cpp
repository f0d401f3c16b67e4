#include "app/table_reader.h"

#include <gtest/gtest.h>

#include "app/memory_records.h"

#include <charconv>
#include <string>
#include <vector>

#include "reporting/error_numbers.h"

namespace {

using app::Column;
using app::FieldFault;
using D = app::Delimiter;

app::TableFormat format(std::string_view columns, D delimiter = D::blanks_comma_or_semicolon, bool decimal_comma = false) {
    app::TableFormat f;
    for (const char c : columns) {
        Column column = Column::ignored;
        switch (c) {
            case 'p': column = Column::name; break;
            case 'x': column = Column::easting; break;
            case 'y': column = Column::northing; break;
            case 'z': column = Column::height; break;
            case 'd': column = Column::code; break;
        }
        f.columns.columns[f.columns.count++] = column;
    }
    f.delimiter = delimiter;
    f.decimal_comma = decimal_comma;
    return f;
}

app::LineProblem parse(std::string_view line, const app::TableFormat& f, app::TableLine& out) {
    // The line's texts may lie here until the next line.
    static app::LineScratch scratch;
    return app::parse_table_line(line, f, app::delimiter_for(f, line), out, scratch);
}

// Coordinate `axis` (0 x, 1 y, 2 z) of point i (0-based).
double coordinate(const app::PointStore& points, std::size_t i, int axis) {
    double x = 0, y = 0, z = 0;
    points.coordinates<double>(i, x, y, z);
    return axis == 0 ? x : axis == 1 ? y : z;
}

// Fields as the user meant them: the delimiter found from the line, quotes
// kept together, blanks inside a delimited field kept in it.
TEST(PointTableLine, FieldsAsTheUserMeantThem) {
    struct Case {
        std::string_view line;
        app::TableFormat f;
        double x, y, z;
        std::string_view name, code;
        std::uint32_t decimals;
    };
    const Case cases[] = {
        {"1 2 3", format("xyz"), 1, 2, 3, "", "", 0},
        {"  1.5  2.5   3.5  ", format("xyz"), 1.5, 2.5, 3.5, "", "", 1},
        {"1.5\t 2.5 \t3.5", format("xyz"), 1.5, 2.5, 3.5, "", "", 1},
        {"BM 2,4500010.5,300020.25,13,FENCE", format("pyxzd"), 300020.25, 4500010.5, 13, "BM 2", "FENCE", 2},
        {"P7,4500000.125,300000.5,12.25,OAK TREE", format("pyxzd"), 300000.5, 4500000.125, 12.25, "P7", "OAK TREE", 3},
        {"\"P1\",\"1\",2,3,\"Oak, old\"", format("pxyzd"), 1, 2, 3, "P1", "Oak, old", 0},
        {"\"say \"\"hi\"\"\";1;2;3", format("pxyz"), 1, 2, 3, "say \"hi\"", "", 0},
        {"1;2;3;4", format("-xyz"), 2, 3, 4, "", "", 0},
        {"1,5;2,25;-0,5", format("xyz", D::blanks_comma_or_semicolon, true), 1.5, 2.25, -0.5, "", "", 2},
        {"1,5 2,25", format("xy", D::space, true), 1.5, 2.25, 0, "", "", 2},
        {"A 1,2,+3,0,oak tree", format("pxyzd", D::comma), 2, 3, 0, "A 1", "oak tree", 0},
        {"7 1 2 3", format("pxyzd"), 1, 2, 3, "7", "", 0},  // no description: layer 0
        {"1\t2\t\t4", format("xy-z", D::tab), 1, 2, 4, "", "", 0},
        {"1 2 3 extra fields", format("xyz"), 1, 2, 3, "", "", 0},
        {"1.25e1 -2.5E-1", format("xy"), 12.5, -0.25, 0, "", "", 2},
        {"0.123456789012 1", format("xy"), 0.123456789012, 1, 0, "", "", 9},
        {"P1,1,2,3,Fence; old", format("pxyzd"), 1, 2, 3, "P1", "Fence; old", 0},
    };
    for (const Case& c : cases) {
        app::TableLine out;
        const app::LineProblem problem = parse(c.line, c.f, out);
        EXPECT_EQ(problem.fault, FieldFault::none) << c.line << " at " << problem.field;
        EXPECT_EQ(out.x, c.x) << c.line;
        EXPECT_EQ(out.y, c.y) << c.line;
        EXPECT_EQ(out.z, c.z) << c.line;
        EXPECT_EQ(out.name, c.name) << c.line;
        EXPECT_EQ(out.code, c.code) << c.line;
        EXPECT_EQ(out.decimals, c.decimals) << c.line;
    }
}

TEST(PointTableLine, RefusedAtTheField) {
    struct Case {
        std::string_view line;
        app::TableFormat f;
        FieldFault fault;
        std::size_t field;
        std::string_view found;
    };
    app::TableFormat cp1252 = format("pxy");
    cp1252.encoding = {false, app::text::CodePage::ansi_1252};
    const Case cases[] = {
        {"1 2", format("xyz"), FieldFault::missing, 3, "1 2"},
        {"1,,3", format("xyz"), FieldFault::empty, 2, ""},
        {"1,2,", format("xyz"), FieldFault::empty, 3, ""},
        {"1 2x 3", format("xyz"), FieldFault::not_a_number, 2, "2x"},
        {"1,000.5 2 3", format("xyz"), FieldFault::not_a_number, 1, "1,000.5"},
        {"- 1 2", format("xyz"), FieldFault::not_a_number, 1, "-"},
        {"1.5;2;3", format("xyz", D::semicolon, true), FieldFault::not_a_number, 1, "1.5"},
        {"1 2 inf", format("xyz"), FieldFault::not_a_number, 3, "inf"},
        {"1 2 nan", format("xyz"), FieldFault::not_a_number, 3, "nan"},
        {"1 1e999 3", format("xyz"), FieldFault::out_of_range, 2, "1e999"},
        {"0x10 1", format("xy"), FieldFault::not_a_number, 1, "0x10"},
        {"\"P1,1,2", format("pxy"), FieldFault::unterminated_quote, 1, "\"P1,1,2"},
        {"\"P1\"x,1,2", format("pxy"), FieldFault::text_after_quote, 1, "\"P1\"x"},
        {"H\xf6" "he,1,2", format("pxy"), FieldFault::invalid_text, 1, "H\xf6" "he"},
        {"H\x81" "he,1,2", cp1252, FieldFault::invalid_text, 1, "H\x81" "he"},
        {std::string_view{"P\0Q 1 2", 7}, format("pxy"), FieldFault::none, 0, ""},
    };
    for (const Case& c : cases) {
        app::TableLine out;
        const app::LineProblem problem = parse(c.line, c.f, out);
        EXPECT_EQ(problem.fault, c.fault) << c.line;
        EXPECT_EQ(problem.field, c.field) << c.line;
        EXPECT_EQ(problem.found, c.found) << c.line;
    }
    const std::string long_name(256, 'n');
    app::TableLine out;
    EXPECT_EQ(parse(long_name + " 1 2", format("pxy"), out).fault, FieldFault::too_long);
    EXPECT_EQ(parse(long_name.substr(1) + " 1 2", format("pxy"), out).fault, FieldFault::none);
}

// Coordinates at the quick conversion's limits read as the exact reading
// of their text gives them.
TEST(PointTableLine, NumbersAtTheQuickWaysLimitsAreExact) {
    const std::string_view texts[] = {
        "9007199254740993", "9007199254740992.5", "0.30000000000000004", "123456789012345.67",
        "4503599627370497.5", "0.1234567890123456789012", "1.7976931348623157e308", "4.9e-324",
        "2.2250738585072011e-308", "12345678901234567890123456789", "7.0000000000000008881784197001",
    };
    for (const std::string_view text : texts) {
        app::TableLine out;
        ASSERT_EQ(parse(std::string{text} + " 0", format("xy"), out).fault, FieldFault::none) << text;
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        EXPECT_EQ(out.x, expected) << text;
    }
}

using test_support::MemoryRecords;

// A spreadsheet's export: its mark, headers, blanks and remarks passed over;
// the delimiter found from the first data line; the decimals noted.
TEST(PointTable, WhatASpreadsheetWrites) {
    MemoryRecords records({"\xEF\xBB\xBF" "Point;North;East;Elev;Code", "", "1;10,5;20;30;TREE", "  # a remark",
                           "\"2\";\"11\";21,25;31;\"oak; old\"", "3;12;22;32,125;tree"});
    app::TableFormat f = format("pyxzd", D::blanks_comma_or_semicolon, true);
    f.keep_names = f.keep_codes = true;
    app::PointStore points{app::Precision::wide};
    app::TableProblem problem;
    ASSERT_EQ(app::read_point_table(records, f, 1, points, problem).outcome, app::TableOutcome::done)
        << app::table_problem_text("s", problem);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(coordinate(points, 1, 0), 21.25);
    EXPECT_EQ(coordinate(points, 0, 1), 10.5);
    EXPECT_EQ(points.decimals(), 3u);
    app::PointStore::TextReader tags{points};
    std::vector<std::string> seen;
    for (int k = 0; k < 3; ++k) {
        std::string_view name;
        std::uint32_t layer = 0;
        tags.next(name, layer);
        seen.emplace_back(name);
        seen.emplace_back(points.layers().name(layer));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "TREE", "2", "oak_ old", "3", "TREE"}));
}

// What a refusal says, invisible characters spelt out.
TEST(PointTable, RefusalsTellFileLineFieldAndText) {
    struct Case {
        std::vector<std::string> lines;
        std::string_view columns;
        std::string text;
    };
    const Case cases[] = {
        {{"1 2 3", "4 5 6", "7 \x01oops\x7f 9"}, "xyz",
         "3dpoint: s.csv, line 3, field 2 (northing): not a number: '\\x01oops\\x7F'\n"},
        {{"1,2,"}, "xyz", "3dpoint: s.csv, line 1, field 3 (height): empty\n"},
        {{"\xEF\xBB\xBF\xEF\xBB\xBF" "1 2"}, "xy", "3dpoint: s.csv, line 1, field 1 (easting): not a number: 'U+FEFF1'\n"},
        {{"1 2 3\r4 5 6\r"}, "xyz",
         "3dpoint: s.csv, line 1, field 3 (height): not a number: '3\\r4'\n"
         "3dpoint: s.csv seems to end its lines with CR alone: save it with LF or CR LF line ends\n"},
        {{"\xFF\xFE" "1\0"}, "xy", "3dpoint: s.csv is in UTF-16 little-endian: save it as UTF-8\n"},
        {{"A B 1 2"}, "pxyd", "3dpoint: s.csv, line 1, field 2 (easting): not a number: 'B'\n"},
    };
    for (const Case& c : cases) {
        MemoryRecords records(c.lines);
        app::PointStore points{app::Precision::wide};
        app::TableProblem problem;
        ASSERT_EQ(app::read_point_table(records, format(c.columns), 0, points, problem).outcome,
                  app::TableOutcome::refused)
            << c.text;
        EXPECT_EQ(app::table_problem_text("s.csv", problem), c.text);
    }
}

TEST(PointTable, ARecordErrorIsNoEnd) {
    MemoryRecords records({"1 2 3"}, err::kReadError);
    app::PointStore points{app::Precision::wide};
    app::TableProblem problem;
    const app::TableResult result = app::read_point_table(records, format("xyz"), 0, points, problem);
    EXPECT_EQ(result.outcome, app::TableOutcome::record_error);
    EXPECT_EQ(result.number, err::kReadError);
}

// Codes that differ only in letter case, in any script, share a layer named
// as first typed; any other difference keeps them apart.
TEST(LayerNames, SharedByCaseOnlyAndNamedAsFirstTyped) {
    app::LayerTable layers;
    struct Case {
        std::string_view code;
        std::uint32_t index;
    };
    const Case cases[] = {{"tree", 1},  {"TREE", 1},  {"0", 0},          {"Wall", 2},        {"", 0},
                          {"Höhe", 3},  {"HÖHE", 3},  {"Hähe", 4},       {"столб", 5},       {"СТОЛБ", 5},
                          {"забор", 6}, {"树木", 7},  {"道路", 8},       {"Oak Tree/2", 9}};
    for (const Case& c : cases) EXPECT_EQ(layers.index_for(c.code), c.index) << c.code;
    ASSERT_EQ(layers.size(), 10u);
    EXPECT_EQ(layers.name(1), "tree");
    EXPECT_EQ(layers.name(3), "Höhe");
    EXPECT_EQ(layers.name(9), "Oak Tree_2");
}

// A codes file names and colours its codes' layers; codes it gives one name
// share that layer, the rest keep their own and the palette's colour.
TEST(LayerNames, TheCodesFileNamesAndColours) {
    app::table::CodeTable codes;
    codes.add({"EP", "Pavement", 30, true, 1});
    codes.add({"eop", "PAVEMENT", 0, false, 2});
    codes.add({"TREE", "", 3, false, 3});
    app::LayerTable layers;
    layers.use_codes(&codes);
    struct Case {
        std::string_view code;
        std::uint32_t index;
        std::string_view name;
        std::uint8_t colour;
    };
    const Case cases[] = {{"ep", 1, "Pavement", 30}, {"EOP", 1, "Pavement", 30}, {"Tree", 2, "Tree", 3},
                          {"wall", 3, "wall", 0},   {"EP", 1, "Pavement", 30}};
    for (const Case& c : cases) {
        const std::uint32_t index = layers.index_for(c.code);
        EXPECT_EQ(index, c.index) << c.code;
        EXPECT_EQ(layers.name(index), c.name) << c.code;
        EXPECT_EQ(layers.colour(index), c.colour) << c.code;
    }
}

}  // namespace
