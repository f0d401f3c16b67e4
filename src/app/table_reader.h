// Point tables: one point per line, its fields in the order the columns say,
// no count line. Fields are cut as a CSV reader cuts them (quotes, doubled
// quotes, the delimiter found from the first data line unless given); each
// line is taken whole or refused with the line, the field and the text
// found there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/linework/linework.h"
#include "app/point_store.h"
#include "app/progress.h"
#include "app/run_plan.h"
#include "app/table/byte_order_mark.h"
#include "app/table/field_cutter.h"
#include "io/platform_allocator.h"
#include "io/scan/record_source.h"

namespace app {

enum class FieldFault : std::uint8_t {
    none,
    missing,
    empty,
    not_a_number,
    out_of_range,
    line_control,
    unterminated_quote,
    text_after_quote,
    invalid_text,
    too_long,
};

// One line's point; the texts are UTF-8 and point into the line or the
// reader's scratch. `decimals`: the most any coordinate of the line was
// written with (at most 9).
struct TableLine {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    std::string_view name;
    std::string_view code;
    std::uint32_t decimals = 0;
};

// Where a line was refused: field is 1-based, `found` the field's text (the
// whole line when the field is missing).
struct LineProblem {
    FieldFault fault = FieldFault::none;
    std::size_t field = 0;
    Column column = Column::ignored;
    std::string_view found;
};

// The delimiter a table's fields are cut at: the one given, else the one
// its first data line shows.
table::FieldDelimiter delimiter_for(const TableFormat& format, std::string_view first_data_line);

// Room the reader lends a line's fields: quoted fields whose quotes were
// doubled, and texts decoded from the input's code page.
class LineScratch {
public:
    void fit(std::size_t line_bytes) {
        if (bytes_.size() < 4 * line_bytes) bytes_.resize(4 * line_bytes);
    }
    std::span<char> quotes(std::size_t line_bytes) { return {bytes_.data(), line_bytes}; }
    std::span<char> decoded(std::size_t line_bytes) { return {bytes_.data() + line_bytes, 3 * line_bytes}; }

private:
    io::PlatformVector<char> bytes_;
};

// A first data line whose coordinate fields are none of them numbers (nor
// empty): the column names a spreadsheet writes first.
bool is_header_line(std::string_view line, const TableFormat& format, table::FieldDelimiter delimiter,
                    LineScratch& scratch);

// Cuts `line` and converts its fields.
LineProblem parse_table_line(std::string_view line, const TableFormat& format, table::FieldDelimiter delimiter,
                             TableLine& out, LineScratch& scratch);

struct TableProblem {
    std::uint64_t line = 0;
    LineProblem where;
    std::string found;  // a copy: the record it came from is gone
    bool cr_only = false;
    table::ByteOrderMark mark = table::ByteOrderMark::none;  // a file no UTF-8 reader can take
    std::string_view encoding = "UTF-8";                     // the input's, for a text that is none of it
};

// "3dpoint: FILE, line L, field F (COLUMN): WHAT: 'TEXT'" and a line feed,
// invisible characters shown; or the line that refuses a file in UTF-16.
std::string table_problem_text(std::string_view file, const TableProblem& problem);

enum class TableOutcome : std::uint8_t { done, refused, no_memory, record_error };

struct TableResult {
    TableOutcome outcome = TableOutcome::done;
    int number = 0;  // the record source's own number for record_error
};

// Reads every record of `records` (its end is the table's end) into
// `store`, after `skip` lines, stopping at the first line refused. Each
// line read is one step of `progress`. With `linework`, each coded point
// joins its line.
TableResult read_point_table(io::RecordSource& records, const TableFormat& format, std::uint32_t skip,
                             PointStore& store, TableProblem& problem, ProgressLine* progress = nullptr,
                             Linework* linework = nullptr);

}  // namespace app
