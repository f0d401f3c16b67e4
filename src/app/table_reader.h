// Point tables: one point per line, its fields in the order the columns say,
// no count line. Each line is taken whole or refused with the line, the field
// and the text found there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/linework/linework.h"
#include "app/point_store.h"
#include "app/progress.h"
#include "app/run_plan.h"
#include "io/scan/record_source.h"

namespace app {

enum class FieldFault : std::uint8_t { none, missing, empty, not_a_number, out_of_range, line_control };

// One line's point; name and code point into the line.
struct TableLine {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    std::string_view name;
    std::string_view code;
};

// Where a line was refused: field is 1-based, `found` the field's text (the
// whole line when the field is missing).
struct LineProblem {
    FieldFault fault = FieldFault::none;
    std::size_t field = 0;
    Column column = Column::ignored;
    std::string_view found;
};

// True for a line that holds no point: blank, or a comment starting with '#'.
bool is_skipped_line(std::string_view line);

// Splits `line` and converts its fields; `scratch` holds a field rewritten
// for its decimal comma.
LineProblem parse_table_line(std::string_view line, const TableFormat& format, TableLine& out, std::string& scratch);

struct TableProblem {
    std::uint64_t line = 0;
    LineProblem where;
    std::string found;  // a copy: the record it came from is gone
};

// "3dpoint: FILE, line L, field F (COLUMN): WHAT 'TEXT'" and a line feed;
// control characters show as '?' and a long text is cut.
std::string table_problem_text(std::string_view file, const TableProblem& problem);

enum class TableOutcome : std::uint8_t { done, refused, no_memory, record_error };

struct TableResult {
    TableOutcome outcome = TableOutcome::done;
    int number = 0;  // the record source's own number for record_error
};

// Reads every record of `records` (its end is the table's end) into
// `store`, after `skip` lines, stopping at the first line refused. Each
// line read is one step of `progress`.
TableResult read_point_table(io::RecordSource& records, const TableFormat& format, std::uint32_t skip,
                             PointStore& store, TableProblem& problem, ProgressLine* progress = nullptr,
                             Linework* linework = nullptr);

}  // namespace app
