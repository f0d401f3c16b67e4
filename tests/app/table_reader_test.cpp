#include "app/table_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reporting/error_numbers.h"

namespace {

using app::Column;

// Coordinate `axis` (0 x, 1 y, 2 z) of point i (0-based), in either precision.
double coordinate(const app::PointStore& points, std::size_t i, int axis) {
    for (const app::PointRun& run : points.runs()) {
        if (i >= run.count) {
            i -= run.count;
            continue;
        }
        const void* base = axis == 0 ? run.x : axis == 1 ? run.y : run.z;
        return points.precision() == app::Precision::single ? static_cast<const float*>(base)[i]
                                                            : static_cast<const double*>(base)[i];
    }
    return -1.0;
}
using app::FieldFault;

app::TableFormat format(std::string_view columns, app::Delimiter delimiter = app::Delimiter::blanks_comma_or_semicolon,
                        bool decimal_comma = false) {
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
    f.precision = app::Precision::wide;
    return f;
}

TEST(PointTableLine, FieldsByTheDelimiterRule) {
    using D = app::Delimiter;
    struct Case {
        std::string_view line;
        app::TableFormat f;
        double x, y, z;
        std::string_view name, code;
    };
    const Case cases[] = {
        {"1 2 3", format("xyz"), 1, 2, 3, "", ""},
        {"\t1.5 ,\t2.5 ; 3.5  ", format("xyz"), 1.5, 2.5, 3.5, "", ""},
        {"P7,4500000.125,300000.5,12.25,TREE", format("pyxzd"), 300000.5, 4500000.125, 12.25, "P7", "TREE"},
        {"1;2;3;4", format("-xyz"), 2, 3, 4, "", ""},
        {"1,5;2,25;-0,5", format("xyz", D::blanks_comma_or_semicolon, true), 1.5, 2.25, -0.5, "", ""},
        {"1,5 2,25", format("xy", D::space, true), 1.5, 2.25, 0, "", ""},
        {"A 1,2,+3,0,oak tree", format("pxyzd", D::comma), 2, 3, 0, "A 1", "oak tree"},
        {"7 1 2 3", format("pxyzd"), 1, 2, 3, "7", ""},  // no description: layer 0
        {"1\t2\t\t4", format("xy-z", D::tab), 1, 2, 4, "", ""},
        {"1 2 3 extra fields", format("xyz"), 1, 2, 3, "", ""},
        {"1e3 -2.5E-1", format("xy"), 1000, -0.25, 0, "", ""},
    };
    std::string scratch;
    for (const Case& c : cases) {
        app::TableLine out;
        const app::LineProblem problem = app::parse_table_line(c.line, c.f, out, scratch);
        EXPECT_EQ(problem.fault, FieldFault::none) << c.line;
        EXPECT_EQ(out.x, c.x) << c.line;
        EXPECT_EQ(out.y, c.y) << c.line;
        EXPECT_EQ(out.z, c.z) << c.line;
        EXPECT_EQ(out.name, c.name) << c.line;
        EXPECT_EQ(out.code, c.code) << c.line;
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
    const Case cases[] = {
        {"1 2", format("xyz"), FieldFault::missing, 3, "1 2"},
        {"1,,3", format("xyz"), FieldFault::empty, 2, ""},
        {"1 2x 3", format("xyz"), FieldFault::not_a_number, 2, "2x"},
        {"- 1 2", format("xyz"), FieldFault::not_a_number, 1, "-"},
        {"7 1", format("pxyd"), FieldFault::missing, 3, "7 1"},
        {"1.5;2;3", format("xyz", app::Delimiter::semicolon, true), FieldFault::not_a_number, 1, "1.5"},
        {"1 2 inf", format("xyz"), FieldFault::not_a_number, 3, "inf"},
        {"1 2 nan", format("xyz"), FieldFault::not_a_number, 3, "nan"},
        {"1 1e999 3", format("xyz"), FieldFault::out_of_range, 2, "1e999"},
        {"0x10 1", format("xy"), FieldFault::not_a_number, 1, "0x10"},
    };
    std::string scratch;
    for (const Case& c : cases) {
        app::TableLine out;
        const app::LineProblem problem = app::parse_table_line(c.line, c.f, out, scratch);
        EXPECT_EQ(problem.fault, c.fault) << c.line;
        EXPECT_EQ(problem.field, c.field) << c.line;
        EXPECT_EQ(problem.found, c.found) << c.line;
    }
}

// Single precision unless decimals are chosen: the value the classic list
// would hold.
TEST(PointTableLine, SinglePrecisionWithoutDecimals) {
    app::TableFormat f = format("xy");
    f.precision = app::Precision::single;
    app::TableLine out;
    std::string scratch;
    ASSERT_EQ(app::parse_table_line("4500000.123 0.1", f, out, scratch).fault, FieldFault::none);
    EXPECT_EQ(out.x, 4500000.0);
    EXPECT_EQ(out.y, static_cast<double>(0.1f));
}

class MemoryRecords final : public io::RecordSource {
public:
    explicit MemoryRecords(std::vector<std::string> lines, int last = err::kEndOfFile)
        : lines_(std::move(lines)), last_(last) {}
    int next_record(std::string_view& record) override {
        if (next_ == lines_.size()) return last_;
        record = lines_[next_++];
        return 0;
    }

private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    int last_;
};

TEST(PointTable, SkipsHeadersBlanksAndComments) {
    MemoryRecords records({"P N E Z D", "units: m", "1 10 20 30 TREE", "", "  # a remark", "2 11 21 31", "3 12 22 32 tree"});
    app::TableFormat f = format("pyxzd");
    f.keep_names = f.keep_codes = true;
    app::PointStore points{app::Precision::wide};
    app::TableProblem problem;
    ASSERT_EQ(app::read_point_table(records, f, 2, points, problem).outcome, app::TableOutcome::done);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(coordinate(points, 2, 0), 22.0);
    EXPECT_EQ(points.extents().low[1], 10.0);
    EXPECT_EQ(points.extents().high[2], 32.0);
    app::PointStore::TextReader tags{points};
    std::vector<std::string> seen;
    for (int k = 0; k < 3; ++k) {
        std::string_view name;
        std::uint32_t layer = 0;
        tags.next(name, layer);
        seen.emplace_back(name);
        seen.emplace_back(points.layers().name(layer));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "TREE", "2", "0", "3", "TREE"}));
}

TEST(PointTable, NumberTablesSkipBlanksAndComments) {
    MemoryRecords records({"x y z", "", "1 2 3", "# 4 5 6", "#7 8 9", " \t ", "\t#", "10 11 12"});
    app::TableFormat f = format("xyz");
    f.precision = app::Precision::single;
    app::PointStore points{app::Precision::single};
    app::TableProblem problem;
    ASSERT_EQ(app::read_point_table(records, f, 1, points, problem).outcome, app::TableOutcome::done);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(coordinate(points, 1, 0), 10.0);
    EXPECT_EQ(points.extents().low[2], 3.0);
}

TEST(PointTable, TheFirstRefusedLineIsTold) {
    MemoryRecords records({"1 2 3", "4 5 6", "7 \x01oops\x7f 9"});
    app::PointStore points{app::Precision::wide};
    app::TableProblem problem;
    ASSERT_EQ(app::read_point_table(records, format("xyz"), 0, points, problem).outcome, app::TableOutcome::refused);
    EXPECT_EQ(app::table_problem_text("survey.txt", problem),
              "3dpoint: survey.txt, line 3, field 2 (northing): not a number: '?oops?'\n");
    const std::string long_text(100, 'q');
    problem.found = long_text;
    EXPECT_EQ(app::table_problem_text("s", problem).size(), std::string{"3dpoint: s, line 3, field 2 (northing): not a number: ''...\n"}.size() + 60);
}

// A table of numbers alone is read a quicker way; each of its lines must be
// taken, or refused at the same field, as the line parser takes it, in both
// precisions.
TEST(PointTable, NumberTablesReadAsTheLineParserReadsThem) {
    using D = app::Delimiter;
    const std::string_view lines[] = {
        "1 2 3", "\t1.5 ,\t2.5 ; 3.5  ", "1;2;3;", "1 2 3 extra fields", "1e3 -2.5E-1 .5", "-0 +4. 0.1",
        "4500000.123 300000.456 12.3", "1 2", "1,,3", "1 2x 3", "1 2 inf", "1 1e999 3", "0x10 1 2", "1 2 3x",
        "1 ,; 2 3", "1,5 2 3",
    };
    const app::TableFormat formats[] = {format("xyz"), format("zxy"), format("yx"), format("xyz", D::space)};
    std::string scratch;
    for (const bool wide : {true, false}) {
        for (app::TableFormat f : formats) {
            f.precision = wide ? app::Precision::wide : app::Precision::single;
            for (const std::string_view line : lines) {
                app::TableLine expected;
                const app::LineProblem where = app::parse_table_line(line, f, expected, scratch);
                MemoryRecords records({std::string{line}});
                app::PointStore points{wide ? app::Precision::wide : app::Precision::single};
                app::TableProblem problem;
                const app::TableOutcome outcome = app::read_point_table(records, f, 0, points, problem).outcome;
                SCOPED_TRACE(testing::Message() << "'" << line << "' " << f.columns.count << " columns, wide " << wide);
                if (where.fault != FieldFault::none) {
                    ASSERT_EQ(outcome, app::TableOutcome::refused);
                    EXPECT_EQ(problem.where.field, where.field);
                    EXPECT_EQ(problem.found, where.found);
                    continue;
                }
                ASSERT_EQ(outcome, app::TableOutcome::done);
                ASSERT_EQ(points.size(), 1u);
                EXPECT_EQ(coordinate(points, 0, 0), expected.x);
                EXPECT_EQ(coordinate(points, 0, 1), expected.y);
                EXPECT_EQ(coordinate(points, 0, 2), expected.z);
            }
        }
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

TEST(LayerNames, MadeValidAndShared) {
    struct Case {
        std::string_view code, name;
    };
    const Case cases[] = {{"tree", "TREE"}, {"Oak Tree/2", "OAK_TREE_2"}, {"", "0"}, {"$A-b_c", "$A-B_C"},
                          {"abcdefghijklmnopqrstuvwxyz0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"}};
    for (const Case& c : cases) {
        char name[app::LayerTable::kMostNameBytes];
        EXPECT_EQ(std::string_view(name, app::layer_name_for(c.code, name)), c.name);
    }
    app::LayerTable layers;
    EXPECT_EQ(layers.index_for("tree"), 1u);
    EXPECT_EQ(layers.index_for("TREE"), 1u);
    EXPECT_EQ(layers.index_for("0"), 0u);
    EXPECT_EQ(layers.index_for("wall"), 2u);
    EXPECT_EQ(layers.index_for(""), 0u);
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers.name(1), "TREE");
    EXPECT_EQ(layers.name(2), "WALL");
}

}  // namespace
