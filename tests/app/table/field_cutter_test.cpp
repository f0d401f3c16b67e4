#include "app/table/field_cutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/table/byte_search.h"
#include "io/scan/number_text.h"

namespace {

using app::table::Cut;
using app::table::FieldDelimiter;

// A line's cut as one text: [text] per field, "text" for a quoted one, and
// a fault as !kind@field:raw text. Shown once all are cut, as a reader keeps
// a line's name and code together.
std::string cut_line(std::string_view line, FieldDelimiter delimiter) {
    std::vector<char> scratch(line.size());
    app::table::FieldCutter cutter(line, delimiter, scratch);
    std::vector<app::table::Field> fields;
    app::table::Field field;
    Cut cut;
    while ((cut = cutter.next(field)) == Cut::field) fields.push_back(field);
    std::string shown;
    for (const app::table::Field& f : fields)
        shown += (f.quoted ? "\"" : "[") + std::string{f.text} + (f.quoted ? "\"" : "]");
    if (cut == Cut::line_end) return shown;
    shown += cut == Cut::unterminated_quote ? "!open@" : "!after@";
    shown += std::to_string(field.number) + ":" + std::string{field.text};
    // A fault ends the line's fields.
    if (cutter.next(field) != Cut::line_end) shown += "!more";
    return shown;
}

TEST(FieldCutter, CutsAsACsvReaderDoes) {
    using D = FieldDelimiter;
    struct Case {
        std::string_view line;
        D delimiter;
        std::string_view cut;
    };
    const Case cases[] = {
        // Blanks inside a delimited field stay in it.
        {"BM 2,4500010.5,300020.25,13,FENCE", D::comma, "[BM 2][4500010.5][300020.25][13][FENCE]"},
        {"1,000.5 2 3", D::comma, "[1][000.5 2 3]"},
        {"P1, \"Oak, old\" ,3", D::comma, "[P1]\"Oak, old\"[3]"},
        {"\"P1\",\"12.5\"", D::comma, "\"P1\"\"12.5\""},
        // Doubled quotes, in two fields: each keeps its own part of the scratch.
        {"\"say \"\"hi\"\"\",\"a\"\"b\",c", D::comma, "\"say \"hi\"\"\"a\"b\"[c]"},
        {"\"\"\"\"", D::comma, "\"\"\""},
        {"1,,3,", D::comma, "[1][][3][]"},
        {"", D::comma, "[]"},
        {" a\t, b ", D::comma, "[a][b]"},
        {"\"  a  \" , b", D::comma, "\"  a  \"[b]"},
        {"6\" pipe,2", D::comma, "[6\" pipe][2]"},
        {"1,5;2,5 ;", D::semicolon, "[1,5][2,5][]"},
        // Under TAB a TAB is never a blank to trim.
        {"a b\t c \t\"d\te\"", D::tab, "[a b][c]\"d\te\""},
        {"\t1\t", D::tab, "[][1][]"},
        {"  1  2\t3  ", D::blanks, "[1][2][3]"},
        {"\"Oak tree\" 1\t\"\"", D::blanks, "\"Oak tree\"[1]\"\""},
        {" \t ", D::blanks, ""},
        {"a\"b c", D::blanks, "[a\"b][c]"},
        // Faults: by field, with its text as written.
        {"1,\"abc,3", D::comma, "[1]!open@2:\"abc,3"},
        {"\"a\"\"b", D::comma, "!open@1:\"a\"\"b"},
        {"1,\"ab\"c,3", D::comma, "[1]!after@2:\"ab\"c"},
        {"\"ab\" x;2", D::semicolon, "!after@1:\"ab\" x"},
        {"1 \"ab\"c d", D::blanks, "[1]!after@2:\"ab\"c"},
    };
    for (const Case& c : cases) EXPECT_EQ(cut_line(c.line, c.delimiter), c.cut) << c.line;
}

TEST(FieldCutter, DelimiterFromTheFirstDataLine) {
    using D = FieldDelimiter;
    struct Case {
        std::string_view line;
        bool decimal_comma;
        D delimiter;
    };
    const Case cases[] = {
        {"BM 2,4500010.5,300020.25,13,FENCE", false, D::comma},
        {"1,000.5 2 3", false, D::comma},
        {"1,5;2,5;3", true, D::semicolon},
        {"1,5 2,5 3", true, D::blanks},
        {"1,5 2,5 3", false, D::comma},
        {"1\t2;3,4", false, D::tab},
        {"P;1\t", false, D::semicolon},  // a TAB at the line's end delimits nothing
        {"\t1 2 3 ", false, D::blanks},
        // Only outside quotes, doubled ones included.
        {"\"a;b\",1,2", false, D::comma},
        {"\"x \"\"y;z\"\"\" 1 2", false, D::blanks},
        {"6\" pipe,1,2", false, D::comma},  // a quote inside a field quotes nothing
        {"\"Oak, old\" 1 2", false, D::blanks},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::table::detect_delimiter(c.line, c.decimal_comma), c.delimiter) << c.line;
    // With the fields a reader needs, the first delimiter that gives them.
    struct Needed {
        std::string_view line;
        std::size_t fields;
        D delimiter;
    };
    const Needed needed[] = {
        {"P1,1,2,3,Fence; old", 5, D::comma},    // ';' alone cuts two fields
        {"P1;1;2;3;a,b", 5, D::semicolon},
        {"1,000.5 2 3", 3, D::blanks},
        {"1;2", 3, D::semicolon},                // none gives three: the first found
        {"a\tb;c;d", 3, D::semicolon},
    };
    for (const Needed& c : needed)
        EXPECT_EQ(app::table::detect_delimiter(c.line, false, c.fields), c.delimiter) << c.line;
}

// A number read where it stands takes the same field as the cut would, or
// leaves the field to the cut.
TEST(FieldCutter, NumbersInPlaceAsCut) {
    using D = FieldDelimiter;
    const std::string_view lines[] = {
        "1 2 3", " 1 ,2 ,3 ", "1,,3,", "12abc,3", "12 abc,3", "\"1\",2", "1\t2\t 3", "1 2,5 3", "-1e5/2,1",
        "4500010.523;300020.25", "1;2", "", "  ", "7)",
    };
    for (const std::string_view line : lines) {
        for (const D delimiter : {D::comma, D::semicolon, D::tab, D::blanks}) {
            std::vector<char> scratch(line.size() * 2);
            app::table::FieldCutter cut(line, delimiter, std::span{scratch}.first(line.size()));
            app::table::FieldCutter in_place(line, delimiter, std::span{scratch}.last(line.size()));
            for (;;) {
                app::table::Field expected, field;
                const Cut cut_end = cut.next(expected);
                const std::size_t start = in_place.bare_field_start();
                bool took = false;
                if (start != std::string_view::npos) {
                    io::NumberText number;
                    const io::NumberScan scan = io::recognise_number(line, start, number);
                    took = scan.ending == io::NumberEnd::text_end && in_place.take_field(scan.end, field);
                }
                const Cut end = took ? Cut::field : in_place.next(field);
                SCOPED_TRACE(testing::Message() << "'" << line << "' delimiter " << static_cast<int>(delimiter));
                ASSERT_EQ(end, cut_end);
                if (end != Cut::field) break;
                EXPECT_EQ(field.text, expected.text);
                EXPECT_EQ(field.number, expected.number);
            }
        }
    }
    // A quoted number is never read in place: its quotes are the cut's to remove.
    char scratch[8];
    EXPECT_EQ(app::table::FieldCutter(" \"1\",2", D::comma, scratch).bare_field_start(), std::string_view::npos);
}

// The word-at-a-time search finds what a byte loop finds, from every place
// of lines of every length around a word's, the last short part included.
TEST(FieldCutter, DelimiterSearchAgreesWithAByteLoop) {
    for (std::size_t size = 0; size <= 26; ++size) {
        for (std::size_t hit = 0; hit <= size; ++hit) {
            std::string line(size, 'x');
            if (hit < size) line[hit] = ';';
            if (hit + 3 < size) line[hit + 3] = '\t';
            for (std::size_t from = 0; from <= size; ++from) {
                const char* const begin = line.data();
                const char* const end = begin + size;
                for (const auto& [a, b] : {std::pair{';', ';'}, std::pair{'\t', ';'}, std::pair{'\t', '\t'}}) {
                    const char* expected = begin + from;
                    while (expected != end && *expected != a && *expected != b) ++expected;
                    EXPECT_EQ(app::table::find_either(begin, begin + from, end, a, b) - begin, expected - begin)
                        << size << " " << hit << " " << from;
                }
            }
        }
    }
}

}  // namespace
