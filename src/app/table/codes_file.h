// The code file: one row per point code, "code, layer name, colour, line".
// The colour is an AutoCAD Colour Index 1..255 (empty: the palette's); the
// line word says whether the code's points draw lines (line, yes or 1; no,
// 0 or nothing: not). Fields are cut as a point table's, the delimiter found
// from the first data line; fields past the fourth are not read. A first
// data row whose colour field is no number but says "colour" or "color" is
// a header, and passed over; so are blank lines and remarks ('#').
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/table/byte_order_mark.h"
#include "app/table/code_table.h"
#include "io/scan/record_source.h"

namespace app::table {

enum class CodesColumn : std::uint8_t { code, layer, colour, line };

enum class CodesFault : std::uint8_t {
    none,
    unreadable_encoding,  // a UTF-16 or UTF-32 mark
    missing_code,         // an empty code field
    duplicate_code,       // a code given before, letter case aside
    bad_colour,           // no number of 1..255
    unknown_line_word,
    unterminated_quote,
    text_after_quote,
};

struct CodesProblem {
    CodesFault fault = CodesFault::none;
    std::uint64_t line = 0;
    std::uint32_t field = 0;
    CodesColumn column = CodesColumn::code;
    std::string found;             // a copy: the record it came from is gone
    std::uint64_t first_line = 0;  // duplicate_code: the line that gave the code first
    ByteOrderMark mark = ByteOrderMark::none;  // unreadable_encoding
    bool cr_only = false;          // the record looks like a file of CR-ended lines
};

enum class CodesOutcome : std::uint8_t { done, refused, record_error };

struct CodesResult {
    CodesOutcome outcome = CodesOutcome::done;
    int number = 0;  // the record source's own number for record_error
};

// Reads every record of `records` (its end is the file's end) into `table`,
// stopping at the first row refused.
CodesResult read_codes_file(io::RecordSource& records, CodeTable& table, CodesProblem& problem);

// The refusal as the user reads it, by file, line and field (refusal_text).
std::string codes_problem_text(std::string_view file, const CodesProblem& problem);

}  // namespace app::table
