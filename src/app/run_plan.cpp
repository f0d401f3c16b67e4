#include "app/run_plan.h"

#include "io/format/fixed_decimals.h"

namespace app {

RunPlan resolve_run_plan(const SurveyChoices& choices) {
    RunPlan plan;
    plan.survey = choices.any();
    if (text::CodePage page{}; !choices.codepage.empty() && text::parse_code_page(choices.codepage, page)) plan.codepage = page;
    if (!choices.encoding.empty()) text::parse_input_encoding(choices.encoding, plan.encoding);
    plan.input = choices.table ? InputKind::point_table : InputKind::point_list;
    plan.skip = choices.skip;
    // A table is read in double precision; the classic list keeps its own
    // reading unless decimals are chosen.
    const bool wide = choices.decimals_given || choices.table;
    plan.precision = wide ? Precision::wide : Precision::single;
    plan.coordinate = choices.decimals_given ? io::field::decimals(choices.decimals)
                      : wide                 ? io::field::decimals(io::kMostFixedDecimals)
                                             : io::field::F0_1;
    plan.decimals_from_input = choices.table && !choices.decimals_given;

    // Lines lie on their codes' layers, and so do the points they join.
    const bool linework = choices.lines || !choices.codes_file.empty();
    plan.layers = choices.layers || linework;
    plan.lines = {choices.codes_file, linework, choices.flat, choices.lines_only, choices.line_codes};
    plan.label_fields = choices.labels ? choices.label_fields : 0;
    plan.blocks = choices.blocks;
    // A text height of its own; else the marker's size, as the labels always
    // had it, when that is a length (0 is a share of the view); else 1.
    plan.text_height = choices.text_height_given                                  ? choices.text_height
                       : choices.point_size_given && choices.point_size > 0.0 ? choices.point_size
                                                                              : 1.0;
    plan.elevation = plan.coordinate.kind == io::FieldKind::decimals ? plan.coordinate : io::field::decimals(1);

    plan.header.point_mode = choices.point_mode;
    plan.header.point_size_given = choices.point_size_given;
    plan.header.point_size = choices.point_size;
    plan.header.extents = choices.extents;
    if (choices.any()) plan.output = {true, kSurveyBlockSize};

    TableFormat& table = plan.table;
    table.columns = choices.columns;
    table.delimiter = choices.delimiter;
    table.decimal_comma = choices.decimal_comma;
    table.encoding = plan.encoding;
    // Only what the drawing shows is kept: a point without a name column is
    // named by its position when written.
    const bool shown_name = (plan.label_fields & kLabelName) != 0 || plan.blocks;
    const bool shown_description = (plan.label_fields & kLabelDescription) != 0 || plan.blocks;
    table.keep_names = shown_name && choices.columns.has(Column::name);
    table.keep_codes = plan.layers && choices.columns.has(Column::code);
    table.code_is_first_word = linework;
    table.keep_descriptions = shown_description && choices.columns.has(Column::code);
    return plan;
}

}  // namespace app
