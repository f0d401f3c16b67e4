#include "app/table/codes_file.h"

#include <gtest/gtest.h>

#include "app/memory_records.h"

#include <string>
#include <vector>

namespace {

using app::table::CodesOutcome;

using test_support::MemoryRecords;

TEST(CodesFile, ReadsWhatASpreadsheetWrites) {
    MemoryRecords records({"\xEF\xBB\xBF" "Code;Layer name;Colour (ACI);Line", "", "# survey codes",
                           "EP;Edge; 3 ;line", "\"Oak; old\";Trees \"old\";;no", "FL;\"Fence \"\"A\"\"\";\"255\";Yes",
                           "mh,2", "TREE;;1;0"});
    app::table::CodeTable table;
    app::table::CodesProblem problem;
    ASSERT_EQ(app::table::read_codes_file(records, table, problem).outcome, CodesOutcome::done)
        << app::table::codes_problem_text("codes.csv", problem);
    struct Expected {
        std::string_view code, layer;
        int colour;
        bool draws_line;
        std::uint64_t line;
    };
    const Expected expected[] = {
        {"EP", "Edge", 3, true, 4},          {"Oak; old", "Trees \"old\"", 0, false, 5},
        {"FL", "Fence \"A\"", 255, true, 6}, {"mh,2", "", 0, false, 7},  // the delimiter is the first row's
        {"TREE", "", 1, false, 8},
    };
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t k = 0; k < table.size(); ++k) {
        const app::table::CodeEntry& e = table.entries()[k];
        EXPECT_EQ(e.code, expected[k].code);
        EXPECT_EQ(e.layer, expected[k].layer) << e.code;
        EXPECT_EQ(e.colour, expected[k].colour) << e.code;
        EXPECT_EQ(e.draws_line, expected[k].draws_line) << e.code;
        EXPECT_EQ(e.line, expected[k].line) << e.code;
    }
}

// Codes are one whatever their letters' case, through every growth of the table.
TEST(CodesFile, LookupIgnoresLetterCase) {
    app::table::CodeTable table;
    const auto entry = [](std::string code) {
        app::table::CodeEntry e;
        e.code = std::move(code);
        return e;
    };
    for (int k = 0; k < 1000; ++k) ASSERT_EQ(table.add(entry("Code" + std::to_string(k))), nullptr) << k;
    ASSERT_NE(table.add(entry("CODE999")), nullptr);
    for (int k = 0; k < 1000; ++k) {
        for (const std::string& code : {"code" + std::to_string(k), "CODE" + std::to_string(k)}) {
            const app::table::CodeEntry* e = table.find(code);
            ASSERT_NE(e, nullptr) << code;
            EXPECT_EQ(e->code, "Code" + std::to_string(k));
        }
    }
    EXPECT_EQ(table.find("code1000"), nullptr);
    EXPECT_EQ(table.find("cod"), nullptr);
    EXPECT_EQ(app::table::CodeTable{}.find("x"), nullptr);
    // Only ASCII letters fold: 'Ö' and 'ö' are two codes, and '@' is no '`'.
    EXPECT_FALSE(app::table::same_code("\xC3\x96", "\xC3\xB6"));
    EXPECT_FALSE(app::table::same_code("@", "`"));
}

TEST(CodesFile, RefusedByLineAndField) {
    struct Case {
        std::vector<std::string> lines;
        std::string_view text;
    };
    const Case cases[] = {
        {{"TREE,Trees,3", "EP,Edge,5", "tree,Other,4"},
         "3dpoint: c.csv, line 3, field 1 (code): a code given before (line 1): 'tree'\n"},
        {{"code,layer,colour", ",Layer,3"}, "3dpoint: c.csv, line 2, field 1 (code): empty\n"},
        {{"EP,Edge,0"}, "3dpoint: c.csv, line 1, field 3 (colour): not a colour number 1..255: '0'\n"},
        {{"EP,Edge,256"}, "3dpoint: c.csv, line 1, field 3 (colour): not a colour number 1..255: '256'\n"},
        {{"EP,Edge,-1"}, "3dpoint: c.csv, line 1, field 3 (colour): not a colour number 1..255: '-1'\n"},
        // Only the first data row may be a header.
        {{"# codes", "EP,Edge,3", "code,layer,colour"},
         "3dpoint: c.csv, line 3, field 3 (colour): not a colour number 1..255: 'colour'\n"},
        {{"EP Edge 3 maybe"}, "3dpoint: c.csv, line 1, field 4 (line): not line, yes, 1, no or 0: 'maybe'\n"},
        {{"EP;\"Edge;2"}, "3dpoint: c.csv, line 1, field 2 (layer name): a quote not closed on its line: '\"Edge;2'\n"},
        {{"\"EP\"x,Edge"}, "3dpoint: c.csv, line 1, field 1 (code): text after the closing quote: '\"EP\"x'\n"},
        {{"\xFF\xFE" "E"}, "3dpoint: c.csv is in UTF-16 little-endian: save it as UTF-8\n"},
        // One record of a file whose lines end in CR alone.
        {{"EP,Edge,3\rFL,Fence,300\r"},
         "3dpoint: c.csv, line 1, field 3 (colour): not a colour number 1..255: '3\\rFL'\n"
         "3dpoint: c.csv seems to end its lines with CR alone: save it with LF or CR LF line ends\n"},
    };
    for (const Case& c : cases) {
        MemoryRecords records(c.lines);
        app::table::CodeTable table;
        app::table::CodesProblem problem;
        EXPECT_EQ(app::table::read_codes_file(records, table, problem).outcome, CodesOutcome::refused) << c.text;
        EXPECT_EQ(app::table::codes_problem_text("c.csv", problem), c.text);
    }
}

TEST(CodesFile, AFailingReadIsPassedOn) {
    MemoryRecords records({"EP,Edge,3"}, 39);
    app::table::CodeTable table;
    app::table::CodesProblem problem;
    const app::table::CodesResult result = app::table::read_codes_file(records, table, problem);
    EXPECT_EQ(result.outcome, CodesOutcome::record_error);
    EXPECT_EQ(result.number, 39);
}

}  // namespace
