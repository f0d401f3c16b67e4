#include "app/survey_conversion.h"

#include <charconv>
#include <string>

#include "app/conversion_units.h"
#include "app/dxf_extras.h"
#include "app/point_table_reader.h"
#include "app/write_dxf.h"
#include "io/record_plan.h"
#include "io/scan/value_scanner.h"
#include "io/statement.h"
#include "io/unit_record_source.h"
#include "io/write_field.h"
#include "platform/process.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace app {
namespace {

// The classic list's statements, with the coordinates in double precision
// when decimals are chosen. A failing statement ends the run, as there.
class ListReader {
public:
    explicit ListReader(std::int32_t unit) : records_(unit) {}

    // The first `lines` records go unread.
    void skip(std::uint32_t lines) {
        for (std::uint32_t k = 0; k < lines; ++k) {
            std::string_view record;
            if (const int number = records_.next_record(record); number != 0)
                io::finish_statement(records_.failure(number));
        }
    }

    template <class... Items>
    void statement(Items&... items) {
        const auto step = [this](int number) {
            return number == 0 || io::finish_statement(records_.failure(number)) == 0;
        };
        if (step(scanner_.begin_statement(records_))) (step(scanner_.read_item(items)) && ...);
        scanner_.end_statement();
    }

private:
    io::UnitRecordSource records_;
    io::ValueScanner scanner_;
};

void add_point(SurveyPoints& points, const SurveyPoint& p) {
    if (!points.add(p)) rt::report_error(err::kNoMemory, 0);
}

void read_list(const SurveyChoices& choices, SurveyPoints& points) {
    ListReader input(kInputUnit);
    input.skip(choices.skip);
    std::int32_t count = 0;
    input.statement(count);
    for (std::int32_t i = 1; i <= count; ++i) {
        SurveyPoint p;
        if (choices.decimals_given) {
            input.statement(p.x, p.y, p.z);
        } else {
            float x = 0.0f, y = 0.0f, z = 0.0f;
            input.statement(x, y, z);
            p = {x, y, z};
        }
        add_point(points, p);
    }
}

// Reads the table; a refused line ends the run here, with the input closed
// and the output untouched.
void read_table(std::string_view input_name, const SurveyChoices& choices, SurveyPoints& points) {
    io::UnitRecordSource records(kInputUnit);
    TableProblem problem;
    const TableResult result = read_point_table(records, table_format(choices), points, problem);
    switch (result.outcome) {
        case TableOutcome::done: return;
        case TableOutcome::record_error: io::finish_statement(records.failure(result.number)); return;
        case TableOutcome::no_memory: rt::report_error(err::kNoMemory, 0); return;
        case TableOutcome::refused: break;
    }
    disconnect_unit(kInputUnit);
    const std::string text =
        table_problem_text(input_name == kStandardStreamName ? "standard input" : input_name, problem);
    platform::write_standard_error(text);
    platform::exit_process(kTableErrorStatus);
}

// Points alone in single precision, the classic entity: only the handle and
// the three values change from one point to the next, as in the classic loop.
int write_plain_points(std::int32_t unit, const SurveyPoints& points, const io::RecordPlan& plan) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SurveyPoint p = points.at(i);
        const io::ItemValue values[] = {io::ItemValue::of(static_cast<std::int32_t>(i + 1)),
                                        io::ItemValue::of(static_cast<float>(p.x)),
                                        io::ItemValue::of(static_cast<float>(p.y)),
                                        io::ItemValue::of(static_cast<float>(p.z))};
        if (const int number = io::finish_statement(io::write_plan(unit, plan, values)); number != 0) return number;
    }
    return 0;
}

}  // namespace

int write_survey_dxf(std::int32_t unit, const SurveyPoints& points, const SurveyChoices& choices) {
    if (const int number = write_survey_head(unit, choices, points); number != 0) return number;
    const EntityPlans plans{choices};
    if (points.single() && !choices.decimals_given && !choices.labels && !choices.layers) {
        if (const int number = write_plain_points(unit, points, plans.point()); number != 0) return number;
        return write_records(unit, dxf_records::trailer);
    }
    const CoordinateFormat format{choices};
    SurveyPoints::TagReader tags{points};
    const auto& layers = points.layers.names();
    std::string scratch;
    std::array<char, io::kFixedDecimalsRoom> x_room, y_room, z_room;
    std::array<char, 16> handle_room, position_room;
    std::array<io::ItemValue, 5> value_room;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const SurveyPoint p = points.at(i);
        const auto position = static_cast<std::int32_t>(i + 1);
        std::string_view name;
        std::uint32_t layer_index = 0;
        if (points.named || points.coded) tags.next(name, layer_index, scratch);
        const std::string_view layer = layers[layer_index];
        const io::ItemValue x = format.value(p.x, x_room), y = format.value(p.y, y_room), z = format.value(p.z, z_room);
        const auto point_values = plans.point_values(value_room, position, layer, x, y, z);
        if (const int number = io::finish_statement(io::write_plan(unit, plans.point(), point_values)); number != 0)
            return number;
        if (!choices.labels) continue;
        if (!points.named) {
            const auto end = std::to_chars(position_room.data(), position_room.data() + position_room.size(), position).ptr;
            name = {position_room.data(), static_cast<std::size_t>(end - position_room.data())};
        }
        if (name.empty()) continue;  // an empty name field: nothing to show
        const io::ItemValue label_values[] = {io::ItemValue::of(tagged_handle('F', position, handle_room)),
                                              io::ItemValue::of(layer), x, y, z, io::ItemValue::of(name)};
        if (const int number = io::finish_statement(io::write_plan(unit, plans.label(), label_values)); number != 0)
            return number;
    }
    return write_records(unit, dxf_records::trailer);
}

void run_survey_conversion(const ConversionFiles& files, const SurveyChoices& choices) {
    prepare_conversion();
    // The points belong to the whole run, as the classic arrays do.
    static SurveyPoints points{!choices.decimals_given};
    connect_input(files.input, files.input_must_exist ? platform::Missing::fail : platform::Missing::create);
    if (choices.table) read_table(files.input, choices, points);
    else read_list(choices, points);
    disconnect_unit(kInputUnit);

    // The output is touched only after the whole input has been read.
    connect_output(files.output);
    write_survey_dxf(kOutputUnit, points, choices);
    disconnect_unit(kOutputUnit);
}

void run_chosen_conversion(const ConversionFiles& files, const SurveyChoices& choices) {
    if (choices.any()) run_survey_conversion(files, choices);
    else run_conversion(files);
}

}  // namespace app
