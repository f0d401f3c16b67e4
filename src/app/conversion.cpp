#include "app/conversion.h"

#include <string>

#include "app/conversion_units.h"
#include "app/drawing_writer.h"
#include "app/linework/line_summary.h"
#include "app/linework/linework.h"
#include "app/list_reader.h"
#include "app/point_store.h"
#include "app/progress.h"
#include "app/table/codes_file.h"
#include "app/table_reader.h"
#include "io/statement.h"
#include "io/unit_record_source.h"
#include "platform/process.h"
#include "platform/terminal.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace app {
namespace {

// Reads the table; a refused line ends the run here, with the input closed
// and the output untouched.
void read_table(std::string_view input_name, const RunPlan& plan, PointStore& store, ProgressLine& progress,
                Linework& linework) {
    io::UnitRecordSource records(kInputUnit);
    TableProblem problem;
    // A table has no count: the line tells how far the reading is.
    progress.begin_uncounted(Phase::reading);
    const TableResult result = read_point_table(records, plan.table, plan.skip, store, problem, &progress, &linework);
    switch (result.outcome) {
        case TableOutcome::done: return;
        case TableOutcome::record_error: io::finish_statement(records.failure(result.number)); return;
        case TableOutcome::no_memory: rt::report_error(err::kNoMemory, 0); return;
        case TableOutcome::refused: break;
    }
    disconnect_unit(kInputUnit);
    progress.end();
    const std::string text =
        table_problem_text(input_name == kStandardStreamName ? "standard input" : input_name, problem);
    platform::write_user_text(platform::StandardStream::error, text);
    platform::exit_process(kTableErrorStatus);
}

// The codes file: read whole before the input, and refused by line and
// field with nothing written.
void read_codes(std::string_view name, table::CodeTable& codes) {
    connect_unit(kCodesUnit, name, platform::StandardStream::input, "standard input", platform::Missing::fail);
    io::UnitRecordSource records(kCodesUnit);
    table::CodesProblem problem;
    const table::CodesResult result = table::read_codes_file(records, codes, problem);
    if (result.outcome == table::CodesOutcome::record_error) io::finish_statement(records.failure(result.number));
    disconnect_unit(kCodesUnit);
    if (result.outcome != table::CodesOutcome::refused) return;
    platform::write_user_text(platform::StandardStream::error, table::codes_problem_text(name, problem));
    platform::exit_process(kTableErrorStatus);
}

// The codes --lines names draw lines, and so do those the codes file says draw them.
void prepare_linework(const LinePlan& plan, const table::CodeTable& code_file, Linework& linework) {
    for (const table::CodeEntry& entry : code_file.entries())
        if (entry.draws_line) linework.codes.add(entry.code);
    linework.enabled = plan.enabled;
    linework.flat = plan.flat;
    linework.lines_only = plan.lines_only;
    std::string_view codes = plan.codes;
    while (!codes.empty()) {
        const std::size_t comma = codes.find(',');
        linework.codes.add(codes.substr(0, comma));
        codes.remove_prefix(comma == std::string_view::npos ? codes.size() : comma + 1);
    }
}

}  // namespace

void run_conversion(const ConversionFiles& files, const RunPlan& plan) {
    prepare_conversion();

    // The points belong to the whole run: they go with the process, never
    // before (the store is not destroyed when the exit runs its destructors).
    static PointStore& store = *new PointStore{plan.precision};
    // Kept for the run too: a report from another thread may still clear it.
    static ProgressLine progress{
        progress_wanted(files.input == kStandardStreamName, files.output == kStandardStreamName)};

    static table::CodeTable codes;
    if (!plan.lines.codes_file.empty()) read_codes(plan.lines.codes_file, codes);
    store.layers().use_codes(&codes);
    static Linework linework;
    prepare_linework(plan.lines, codes, linework);

    connect_input(files.input, files.input_must_exist ? platform::Missing::fail : platform::Missing::create);
    if (plan.input == InputKind::point_table) read_table(files.input, plan, store, progress, linework);
    else read_point_list(kInputUnit, plan.skip, store, progress);
    disconnect_unit(kInputUnit);
    if (linework.enabled) linework.lines = linework.builder.finish();

    // The output is touched only after the whole input has been read, and
    // everything its writing needs memory for is had.
    DrawingWriter drawing{plan, store, &linework};
    connect_output(files.output, plan.output);
    progress.begin(Phase::writing, static_cast<std::int64_t>(store.size()), drawing.records_per_point());
    drawing.write(kOutputUnit, &progress);
    disconnect_unit(kOutputUnit);
    progress.end();
    // What the lines came to, told only when lines were asked for.
    if (linework.enabled) {
        platform::write_user_text(platform::StandardStream::error,
                                  linework::line_summary(linework.lines, linework.codes.string_names()));
    }
}

}  // namespace app
