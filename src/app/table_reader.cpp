#include "app/table_reader.h"

#include <algorithm>
#include <cmath>

#include "app/table/refusal_text.h"
#include "app/table/shown_text.h"
#include "app/text/drawing_text.h"
#include "app/text/input_encoding.h"
#include "io/scan/decimal_conversion.h"
#include "io/scan/number_text.h"
#include "reporting/error_numbers.h"

namespace app {
namespace {

using table::Cut;
using table::Field;
using table::FieldCutter;

// How many decimals a number was written with, as its value has them: "1.25"
// two, "1.25e1" one, "125" none; at most the nine a drawing is written with.
std::uint32_t written_decimals(const io::NumberText& number) {
    const std::int64_t places = std::int64_t{number.fraction} - number.exponent;
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(places, 0, 9));
}

// A recognised number to a coordinate: the quick exact way for a plain
// decimal, else the general one.
[[gnu::always_inline]] inline FieldFault convert_recognised(const io::NumberText& number, double& value) {
    int status = io::conversion_ok;
    if (!io::plain_decimal_to_real64(number, value)) status = io::decimal_to_real64(number, value);
    if (status == io::conversion_overflow) return FieldFault::out_of_range;
    // INF and NAN are numbers to the grammar, but no coordinates.
    if (status != io::conversion_ok || !std::isfinite(value)) return FieldFault::not_a_number;
    return FieldFault::none;
}

// A field's whole text as one number of the list's grammar, with the
// table's decimal mark.
template <io::DecimalMark mark>
FieldFault convert_field(std::string_view text, double& value, std::uint32_t& decimals) {
    if (text.empty()) return FieldFault::empty;
    io::NumberText number;
    const io::NumberScan scan = io::recognise_number<mark>(text, 0, number);
    if (scan.ending != io::NumberEnd::text_end || scan.end != text.size()) return FieldFault::not_a_number;
    decimals = std::max(decimals, written_decimals(number));
    return convert_recognised(number, value);
}

constexpr FieldFault fault_of(Cut cut) {
    return cut == Cut::unterminated_quote ? FieldFault::unterminated_quote : FieldFault::text_after_quote;
}

template <io::DecimalMark mark>
LineProblem parse_line(std::string_view line, const TableFormat& format, table::FieldDelimiter delimiter,
                       TableLine& out, LineScratch& scratch) {
    out = {};
    scratch.fit(line.size());
    FieldCutter cutter(line, delimiter, scratch.quotes(line.size()));
    const std::span<char> decoded = scratch.decoded(line.size());
    std::size_t decoded_used = 0;
    for (std::size_t k = 0; k < format.columns.count; ++k) {
        const Column column = format.columns.columns[k];
        Field field;
        if (column == Column::easting || column == Column::northing || column == Column::height) {
            double& value = column == Column::easting ? out.x : column == Column::northing ? out.y : out.z;
            // The usual field: a number read where it stands, in one pass.
            if (const std::size_t start = cutter.bare_field_start(); start != std::string_view::npos) {
                io::NumberText number;
                const io::NumberScan scan = io::recognise_number<mark>(line, start, number);
                if (scan.ending == io::NumberEnd::text_end && cutter.take_field(scan.end, field)) {
                    out.decimals = std::max(out.decimals, written_decimals(number));
                    if (const FieldFault fault = convert_recognised(number, value); fault != FieldFault::none)
                        return {fault, k + 1, column, field.text};
                    continue;
                }
            }
            const Cut cut = cutter.next(field);
            if (cut == Cut::line_end) return {FieldFault::missing, k + 1, column, line};
            if (cut != Cut::field) return {fault_of(cut), k + 1, column, field.text};
            FieldFault fault = convert_field<mark>(field.text, value, out.decimals);
            // Where the comma separates no fields, a number may write its
            // decimals after one, as spreadsheets in many languages do.
            if constexpr (mark == io::DecimalMark::point) {
                if (fault == FieldFault::not_a_number && delimiter != table::FieldDelimiter::comma &&
                    field.text.find(',') != std::string_view::npos && field.text.find('.') == std::string_view::npos)
                    fault = convert_field<io::DecimalMark::comma>(field.text, value, out.decimals);
            }
            if (fault != FieldFault::none) return {fault, k + 1, column, field.text};
            continue;
        }
        // A line may end before its texts (a point without a description).
        const Cut cut = cutter.next(field);
        if (cut == Cut::line_end) continue;
        if (cut != Cut::field) return {fault_of(cut), k + 1, column, field.text};
        if (column != Column::name && column != Column::code) continue;
        const text::Decoded text =
            text::decode_input(field.text, format.encoding, decoded.subspan(decoded_used, 3 * field.text.size()));
        if (text.status != text::DecodeStatus::ok) return {FieldFault::invalid_text, k + 1, column, field.text};
        if (text.text.data() == decoded.data() + decoded_used) decoded_used += text.text.size();
        if (text::text_too_long(text.text)) return {FieldFault::too_long, k + 1, column, field.text};
        (column == Column::name ? out.name : out.code) = text.text;
    }
    return {};
}

constexpr std::string_view column_name(Column c) {
    switch (c) {
        case Column::name: return "point name";
        case Column::easting: return "easting";
        case Column::northing: return "northing";
        case Column::height: return "height";
        case Column::code: return "description";
        case Column::ignored: return "ignored";
    }
    return "";
}

std::string fault_text(FieldFault f, std::string_view encoding) {
    switch (f) {
        case FieldFault::missing: return "missing from the line";
        case FieldFault::empty: return "empty";
        case FieldFault::not_a_number: return "not a number";
        case FieldFault::out_of_range: return "out of range";
        case FieldFault::line_control: return "a second line control word (one of B, E, C per point)";
        case FieldFault::unterminated_quote: return "a quote not closed on its line";
        case FieldFault::text_after_quote: return "text after the closing quote";
        case FieldFault::invalid_text: return "not " + std::string{encoding} + " text";
        case FieldFault::too_long:
            return "longer than " + std::to_string(text::kTextMostCharacters) + " characters";
        case FieldFault::none: break;
    }
    return "";
}

constexpr table::FieldDelimiter given_delimiter(Delimiter d) {
    switch (d) {
        case Delimiter::comma: return table::FieldDelimiter::comma;
        case Delimiter::semicolon: return table::FieldDelimiter::semicolon;
        case Delimiter::tab: return table::FieldDelimiter::tab;
        case Delimiter::space:
        case Delimiter::blanks_comma_or_semicolon: break;
    }
    return table::FieldDelimiter::blanks;
}

}  // namespace

bool is_header_line(std::string_view line, const TableFormat& format, table::FieldDelimiter delimiter,
                    LineScratch& scratch) {
    scratch.fit(line.size());
    FieldCutter cutter(line, delimiter, scratch.quotes(line.size()));
    Field field;
    bool coordinates = false;
    for (std::size_t k = 0; k < format.columns.count && cutter.next(field) == Cut::field; ++k) {
        const Column column = format.columns.columns[k];
        if (column != Column::easting && column != Column::northing && column != Column::height) continue;
        coordinates = true;
        double value = 0;
        std::uint32_t decimals = 0;
        const bool point = convert_field<io::DecimalMark::point>(field.text, value, decimals) != FieldFault::not_a_number;
        const bool comma = convert_field<io::DecimalMark::comma>(field.text, value, decimals) != FieldFault::not_a_number;
        if (point || comma || field.text.empty()) return false;
    }
    return coordinates;
}

table::FieldDelimiter delimiter_for(const TableFormat& format, std::string_view first_data_line) {
    if (format.delimiter != Delimiter::blanks_comma_or_semicolon) return given_delimiter(format.delimiter);
    // The line must hold every column up to the last one read.
    std::size_t needed = 0;
    for (std::size_t k = 0; k < format.columns.count; ++k)
        if (format.columns.columns[k] != Column::ignored) needed = k + 1;
    return table::detect_delimiter(first_data_line, format.decimal_comma, needed);
}

LineProblem parse_table_line(std::string_view line, const TableFormat& format, table::FieldDelimiter delimiter,
                             TableLine& out, LineScratch& scratch) {
    if (format.decimal_comma) return parse_line<io::DecimalMark::comma>(line, format, delimiter, out, scratch);
    return parse_line<io::DecimalMark::point>(line, format, delimiter, out, scratch);
}

std::string table_problem_text(std::string_view file, const TableProblem& problem) {
    if (!table::readable(problem.mark)) return table::encoding_refusal_text(file, problem.mark);
    const std::string what = fault_text(problem.where.fault, problem.encoding);
    table::Refusal refusal;
    refusal.file = file;
    refusal.line = problem.line;
    refusal.field = static_cast<std::uint32_t>(problem.where.field);
    refusal.column = column_name(problem.where.column);
    refusal.what = what;
    refusal.show_found = problem.where.fault != FieldFault::empty;
    refusal.found = problem.found;
    refusal.cr_only = problem.cr_only;
    return table::refusal_text(refusal);
}

TableResult read_point_table(io::RecordSource& records, const TableFormat& format, std::uint32_t skip,
                             PointStore& store, TableProblem& problem, ProgressLine* progress, Linework* linework) {
    const bool lines = linework != nullptr && linework->enabled;
    std::size_t code_field = 0;
    for (std::size_t k = 0; k < format.columns.count; ++k)
        if (format.columns.columns[k] == Column::code) code_field = k + 1;
    store.keep_texts(format.keep_names, format.keep_codes, format.keep_descriptions);
    const bool texts = store.keeps_texts();
    const std::string_view encoding = format.encoding.utf8 ? std::string_view{"UTF-8"} : text::dxf_name(format.encoding.page);

    LineScratch scratch;
    table::FieldDelimiter delimiter = table::FieldDelimiter::blanks;
    bool delimiter_known = false;
    std::uint32_t decimals = 0;
    std::uint64_t line_number = 0;
    const auto refuse = [&](const LineProblem& where, std::string_view line) {
        problem.line = line_number;
        problem.where = where;
        problem.found.assign(where.found);
        problem.cr_only = table::looks_cr_only(line);
        problem.encoding = encoding;
        return TableResult{TableOutcome::refused, 0};
    };
    for (;;) {
        std::string_view line;
        if (const int number = records.next_record(line); number != 0) {
            store.note_decimals(decimals);
            if (number == err::kEndOfFile) return {};
            return {TableOutcome::record_error, number};
        }
        ++line_number;
        if (progress != nullptr) progress->step();
        if (line_number == 1) {
            // What a spreadsheet writes for "CSV UTF-8" first; a file in
            // UTF-16 is no text this reader can take.
            if (problem.mark = table::byte_order_mark(line); !table::readable(problem.mark)) {
                problem.line = 1;
                return {TableOutcome::refused, 0};
            }
            line.remove_prefix(table::skipped_mark_bytes(line));
        }
        if (line_number <= skip || !table::is_data_line(line)) continue;
        if (!delimiter_known) {
            delimiter = delimiter_for(format, line);
            delimiter_known = true;
            // Column names before the data, when no skip was given for them.
            if (skip == 0 && is_header_line(line, format, delimiter, scratch)) continue;
        }
        TableLine parsed;
        if (const LineProblem where = parse_table_line(line, format, delimiter, parsed, scratch);
            where.fault != FieldFault::none)
            return refuse(where, line);
        decimals = std::max(decimals, parsed.decimals);

        const auto index = static_cast<std::uint32_t>(store.size());
        if (!store.append(parsed.x, parsed.y, parsed.z)) return {TableOutcome::no_memory, err::kNoMemory};
        if (!texts) continue;
        const linework::DescriptionParts parts = format.code_is_first_word
                                                     ? linework::split_description(parsed.code)
                                                     : linework::DescriptionParts{parsed.code, {}};
        std::uint32_t layer = 0;
        if (!store.add_texts(parsed.name, parts.code, parsed.code, &layer)) return {TableOutcome::no_memory, err::kNoMemory};
        if (linework::ControlFault fault; lines && !linework->add_point(index, parts.code, parts.after_code, layer, fault))
            return refuse({FieldFault::line_control, code_field, Column::code, fault.word}, line);
    }
}

}  // namespace app
