#include "app/conversion.h"

#include <string>

#include "app/conversion_units.h"
#include "app/drawing_writer.h"
#include "app/list_reader.h"
#include "app/point_store.h"
#include "app/progress.h"
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
void read_table(std::string_view input_name, const RunPlan& plan, PointStore& store, ProgressLine& progress) {
    io::UnitRecordSource records(kInputUnit);
    TableProblem problem;
    // A table has no count: the line tells how far the reading is.
    progress.begin_uncounted(Phase::reading);
    const TableResult result = read_point_table(records, plan.table, plan.skip, store, problem, &progress);
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

}  // namespace

void run_conversion(const ConversionFiles& files, const RunPlan& plan) {
    prepare_conversion();

    // The points belong to the whole run: they go with the process.
    static PointStore store{plan.precision};
    // Kept for the run too: a report from another thread may still clear it.
    static ProgressLine progress{
        progress_wanted(files.input == kStandardStreamName, files.output == kStandardStreamName)};

    connect_input(files.input, files.input_must_exist ? platform::Missing::fail : platform::Missing::create);
    if (plan.input == InputKind::point_table) read_table(files.input, plan, store, progress);
    else read_point_list(kInputUnit, plan.skip, store, progress);
    disconnect_unit(kInputUnit);

    // The output is touched only after the whole input has been read.
    connect_output(files.output, plan.output);
    progress.begin(Phase::writing, static_cast<std::int64_t>(store.size()), records_per_point(plan));
    write_drawing(kOutputUnit, plan, store, &progress);
    disconnect_unit(kOutputUnit);
    progress.end();
}

}  // namespace app
