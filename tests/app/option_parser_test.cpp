#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

app::CommandLine parse(std::vector<const char*> arguments) { return app::parse_command_line(arguments); }

TEST(SurveyOptions, NoneMeansTheClassicRun) {
    const app::CommandLine command = parse({"in.txt", "out.dxf"});
    EXPECT_EQ(command.request, app::Request::convert);
    EXPECT_FALSE(command.survey.any());
}

TEST(SurveyOptions, TakenWithTheirValues) {
    const app::CommandLine command = parse({"--columns", "PNEZD", "--skip=2", "--delimiter", "tab", "--decimals", "3",
                                            "--labels", "--layers", "--point-style", "33,0.5", "--extents", "in.txt",
                                            "--decimal-comma", "out.dxf"});
    ASSERT_EQ(command.request, app::Request::convert) << app::usage_error_text(command);
    const app::SurveyChoices& s = command.survey;
    using app::Column;
    ASSERT_EQ(s.columns.count, 5u);
    EXPECT_EQ(s.columns.columns[0], Column::name);
    EXPECT_EQ(s.columns.columns[1], Column::northing);
    EXPECT_EQ(s.columns.columns[2], Column::easting);
    EXPECT_EQ(s.columns.columns[3], Column::height);
    EXPECT_EQ(s.columns.columns[4], Column::code);
    EXPECT_TRUE(s.table && s.labels && s.layers && s.extents && s.decimal_comma && s.point_size_given);
    EXPECT_EQ(s.skip, 2u);
    EXPECT_EQ(s.delimiter, app::Delimiter::tab);
    EXPECT_EQ(s.decimals, 3u);
    EXPECT_EQ(s.point_mode, 33);
    EXPECT_EQ(s.point_size, 0.5);
    EXPECT_EQ(s.label_fields, app::kLabelName);
    EXPECT_EQ(command.files.input, "in.txt");
    EXPECT_EQ(command.files.output, "out.dxf");
}

TEST(SurveyOptions, RefusedWithOneLine) {
    struct Case {
        std::vector<const char*> arguments;
        const char* line;
    };
    const Case cases[] = {
        {{"--columns", "pz"}, "--columns takes letters of p x e y n z d - with x (e) and y (n), each once, not 'pz'"},
        {{"--columns", "xyex"}, "--columns takes letters of p x e y n z d - with x (e) and y (n), each once, not 'xyex'"},
        {{"--columns", "xyq"}, "--columns takes letters of p x e y n z d - with x (e) and y (n), each once, not 'xyq'"},
        {{"--decimals", "10"}, "--decimals takes a whole number from 0 to 9, not '10'"},
        {{"--decimals", "-1"}, "--decimals takes a whole number from 0 to 9, not '-1'"},
        {{"--skip", "x"}, "--skip takes a whole number of lines, not 'x'"},
        {{"--columns", "xyz", "--delimiter", "|"}, "--delimiter takes ',' ';' 'tab' or 'space', not '|'"},
        {{"--point-style", "5"}, "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, SIZE 0 or a length, not '5'"},
        {{"--point-style", "3,big"}, "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, SIZE 0 or a length, not '3,big'"},
        {{"--point-style", "3,inf"}, "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, SIZE 0 or a length, not '3,inf'"},
        {{"--decimals"}, "option needs a value: '--decimals'"},
        {{"--layers=yes"}, "option takes no value: '--layers=yes'"},
        {{"--labels=yes"}, "--labels takes name, elevation and description, comma-separated, not 'yes'"},
        {{"--labels=name,name"}, "--labels takes name, elevation and description, comma-separated, not 'name,name'"},
        {{"--point-style", "3,-5"}, "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, SIZE 0 or a length, not '3,-5'"},
        {{"--point-style", "3,1e-10"},
         "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, SIZE 0 or a length, not '3,1e-10'"},
        {{"--text-height", "0"}, "--text-height takes a length above 0, not '0'"},
        {{"--columns", "xyzd", "--lines", "EP,,FL"}, "--lines takes codes without blanks, comma-separated, not 'EP,,FL'"},
        {{"--columns", "xyz", "--lines", "EP"}, "needs a description column (d in --columns): '--lines'"},
        {{"--columns", "xyzd", "--flat"}, "needs --lines or --codes: '--flat'"},
        {{"--encoding", "cp1252"}, "needs --columns: '--encoding'"},
        {{"--columns", "xy", "--encoding", "latin9"},
         "--encoding takes utf-8 or a code page such as cp1252 or cp932, not 'latin9'"},
        {{"--codepage", "utf-8"}, "--codepage takes a drawing code page such as ANSI_1252 or ANSI_932, not 'utf-8'"},
        {{"--delimiter", ";"}, "needs --columns: '--delimiter'"},
        {{"--decimal-comma"}, "needs --columns: '--decimal-comma'"},
        {{"--columns", "xy", "--decimal-comma", "--delimiter", ","},
         "a decimal comma cannot also separate the fields: '--delimiter ,'"},
    };
    for (const Case& c : cases) {
        const app::CommandLine command = parse(c.arguments);
        EXPECT_EQ(command.request, app::Request::usage_error) << c.line;
        EXPECT_EQ(app::usage_error_text(command), std::string{"3dpoint: "} + c.line + "; see '3dpoint --help'\n");
    }
}

// A label field list after --labels is its value; anything else is a file.
TEST(SurveyOptions, LabelFieldsOrAFileName) {
    struct Case {
        std::vector<const char*> arguments;
        std::uint8_t fields;
        const char* input;
    };
    const Case cases[] = {
        {{"--labels", "in.txt"}, app::kLabelName, "in.txt"},
        {{"--labels", "elevation,name", "in.txt"}, app::kLabelName | app::kLabelElevation, "in.txt"},
        {{"--labels=description", "name"}, app::kLabelDescription, "name"},
        {{"--labels", "name,elevation,description", "--", "name"}, 7, "name"},
    };
    for (const Case& c : cases) {
        const app::CommandLine command = parse(c.arguments);
        ASSERT_EQ(command.request, app::Request::convert) << app::usage_error_text(command);
        EXPECT_EQ(command.survey.label_fields, c.fields) << c.arguments[1];
        EXPECT_EQ(command.files.input, c.input);
    }
}

TEST(SurveyOptions, HelpStillDecidesAfterThem) {
    EXPECT_EQ(parse({"--decimals", "3", "--help"}).request, app::Request::help);
    // A value is a value, even one that looks like an option.
    EXPECT_EQ(parse({"--columns", "--help"}).request, app::Request::usage_error);
}

}  // namespace
