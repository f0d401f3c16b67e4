#include "app/table_reader.h"

#include <cmath>

#include "io/scan/decimal_conversion.h"
#include "io/scan/number_text.h"
#include "io/scan/powers_of_ten.h"
#include "reporting/error_numbers.h"

namespace app {
namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s, bool tab_is_blank) {
    const auto blank = [tab_is_blank](char c) { return c == ' ' || (tab_is_blank && c == '\t'); };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// Hands out a line's fields one by one under the delimiter rule.
class FieldCutter {
public:
    FieldCutter(std::string_view line, Delimiter delimiter, bool decimal_comma)
        : line_(line), delimiter_(delimiter), decimal_comma_(decimal_comma) {
        if (delimiter_ == Delimiter::blanks_comma_or_semicolon || delimiter_ == Delimiter::space) skip_blanks();
    }

    // The usual number field under a blank rule, recognised where it stands
    // in one pass. False leaves the cutter as it was, for the general way
    // (which also tells what is wrong).
    bool next_number(io::NumberText& number, std::string_view& field) {
        const bool marks = delimiter_ == Delimiter::blanks_comma_or_semicolon;
        if (done_ || decimal_comma_ || !(marks || delimiter_ == Delimiter::space) || at_ == line_.size()) return false;
        const io::NumberScan scan = io::recognise_number(line_, at_, number);
        if (scan.ending != io::NumberEnd::text_end) return false;
        const std::size_t end = scan.end;
        if (end < line_.size() && !is_blank(line_[end]) && !(marks && separates(line_[end]))) return false;
        field = line_.substr(at_, end - at_);
        at_ = end;
        pass_separator(marks);
        return true;
    }

    bool next(std::string_view& field) {
        if (done_) return false;
        switch (delimiter_) {
            case Delimiter::comma: return cut_at(',', field);
            case Delimiter::semicolon: return cut_at(';', field);
            case Delimiter::tab: return cut_at('\t', field);
            case Delimiter::space: return cut_blanks(field, false);
            case Delimiter::blanks_comma_or_semicolon: return cut_blanks(field, true);
        }
        return false;
    }

private:
    void skip_blanks() {
        while (at_ < line_.size() && is_blank(line_[at_])) ++at_;
    }
    bool separates(char c) const { return c == ';' || (c == ',' && !decimal_comma_); }

    bool cut_at(char delimiter, std::string_view& field) {
        const std::size_t end = line_.find(delimiter, at_);
        field = trim(line_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_),
                     delimiter != '\t');
        if (end == std::string_view::npos) done_ = true;
        else at_ = end + 1;
        return true;
    }

    // Runs of blanks separate; with `marks`, so does one ',' or ';' with
    // blanks around it, and two marks in a row enclose an empty field.
    bool cut_blanks(std::string_view& field, bool marks) {
        if (at_ == line_.size() && !after_mark_) {
            done_ = true;
            return false;
        }
        const std::size_t start = at_;
        while (at_ < line_.size() && !is_blank(line_[at_]) && !(marks && separates(line_[at_]))) ++at_;
        field = line_.substr(start, at_ - start);
        pass_separator(marks);
        return true;
    }

    // After a field: the blanks, and under `marks` one mark with blanks after it.
    void pass_separator(bool marks) {
        skip_blanks();
        after_mark_ = marks && at_ < line_.size() && separates(line_[at_]);
        if (after_mark_) {
            ++at_;
            skip_blanks();
        }
    }

    std::string_view line_;
    std::size_t at_ = 0;
    Delimiter delimiter_;
    bool decimal_comma_;
    bool after_mark_ = false;
    bool done_ = false;
};

// A plain decimal of at most 53 bits and 22 digits after the point: both
// the digits and the power of ten are exact doubles, so one division rounds
// correctly. Most coordinates are such.
bool plain_decimal_to_real64(const io::NumberText& number, double& value) {
    const bool plain = number.form == io::NumberText::Form::decimal && !number.exponent_part && !number.leftover;
    if (!plain || (number.digits >> 53) != 0 || number.fraction > 22) return false;
    const double magnitude = static_cast<double>(number.digits) / io::table_power_of_ten(number.fraction);
    value = number.negative ? -magnitude : magnitude;
    return true;
}

// Inline: three times a line.
[[gnu::always_inline]] inline FieldFault convert_recognised(const io::NumberText& number, bool wide, double& value) {
    int status = io::conversion_ok;
    if (wide) {
        if (!plain_decimal_to_real64(number, value)) status = io::decimal_to_real64(number, value);
    } else {
        float single = 0.0f;
        status = io::decimal_to_real32(number, single);
        value = single;
    }
    if (status == io::conversion_overflow) return FieldFault::out_of_range;
    // INF and NAN are numbers to the grammar, but no coordinates.
    if (status != io::conversion_ok || !std::isfinite(value)) return FieldFault::not_a_number;
    return FieldFault::none;
}

// The number grammar is the point list's, so a value reads the same in both:
// the field must be one number and nothing else.
FieldFault convert(std::string_view text, bool decimal_comma, bool wide, double& value, std::string& scratch) {
    if (text.empty()) return FieldFault::empty;
    if (decimal_comma) {
        // The comma is the point; a '.' in such a number is no number.
        if (text.find('.') != std::string_view::npos) return FieldFault::not_a_number;
        scratch.assign(text);
        for (char& c : scratch)
            if (c == ',') c = '.';
        text = scratch;
    }
    io::NumberText number;
    const io::NumberScan scan = io::recognise_number(text, 0, number);
    if (scan.ending != io::NumberEnd::text_end || scan.end != text.size()) return FieldFault::not_a_number;
    return convert_recognised(number, wide, value);
}

// A table of numbers alone under a blank rule, the usual xyz file: each
// line read in one pass, every field recognised where it stands, as the
// cutter's next_number does. A line it does not take whole goes the general
// way, which tells what is wrong.
class NumberLine {
public:
    explicit NumberLine(const TableFormat& format) : wide_(format.precision == Precision::wide) {
        const bool blank_rule =
            format.delimiter == Delimiter::blanks_comma_or_semicolon || format.delimiter == Delimiter::space;
        marks_ = format.delimiter == Delimiter::blanks_comma_or_semicolon;
        usable_ = blank_rule && !format.decimal_comma && format.columns.count > 0;
        for (std::size_t k = 0; usable_ && k < format.columns.count; ++k) {
            const Column c = format.columns.columns[k];
            if (c == Column::easting) targets_[k] = 0;
            else if (c == Column::northing) targets_[k] = 1;
            else if (c == Column::height) targets_[k] = 2;
            else usable_ = false;
        }
        count_ = format.columns.count;
    }

    bool usable() const { return usable_; }

    // True with the point when the whole line is taken.
    bool parse(std::string_view line, TableLine& point) const {
        double values[3] = {0.0, 0.0, 0.0};
        const std::size_t size = line.size();
        std::size_t at = skip_blanks(line, 0);
        for (std::size_t k = 0; k < count_; ++k) {
            if (at == size) return false;
            io::NumberText number;
            const io::NumberScan scan = io::recognise_number(line, at, number);
            if (scan.ending != io::NumberEnd::text_end) return false;
            at = scan.end;
            if (at < size && !is_blank(line[at]) && !(marks_ && separates(line[at]))) return false;
            if (convert_recognised(number, wide_, values[targets_[k]]) != FieldFault::none) return false;
            at = skip_blanks(line, at);
            if (marks_ && at < size && separates(line[at])) at = skip_blanks(line, at + 1);
        }
        point.x = values[0];
        point.y = values[1];
        point.z = values[2];
        return true;
    }

private:
    static std::size_t skip_blanks(std::string_view line, std::size_t at) {
        while (at < line.size() && is_blank(line[at])) ++at;
        return at;
    }
    static constexpr bool separates(char c) { return c == ';' || c == ','; }

    bool wide_;
    bool marks_ = false;
    bool usable_ = false;
    std::size_t count_ = 0;
    std::uint8_t targets_[ColumnSpec::kMostColumns] = {};
};

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

constexpr std::string_view fault_text(FieldFault f) {
    switch (f) {
        case FieldFault::missing: return "missing from the line";
        case FieldFault::empty: return "empty";
        case FieldFault::not_a_number: return "not a number:";
        case FieldFault::out_of_range: return "out of range:";
        case FieldFault::line_control: return linework::control_fault_text(linework::ControlFaultKind::second_control_word);
        case FieldFault::none: break;
    }
    return "";
}

}  // namespace

bool is_skipped_line(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    return i == line.size() || line[i] == '#';
}

LineProblem parse_table_line(std::string_view line, const TableFormat& format, TableLine& out, std::string& scratch) {
    out = {};
    FieldCutter cutter(line, format.delimiter, format.decimal_comma);
    for (std::size_t k = 0; k < format.columns.count; ++k) {
        const Column column = format.columns.columns[k];
        std::string_view field;
        FieldFault fault = FieldFault::none;
        if (column == Column::easting || column == Column::northing || column == Column::height) {
            double& value = column == Column::easting ? out.x : column == Column::northing ? out.y : out.z;
            const bool wide = format.precision == Precision::wide;
            io::NumberText number;
            if (cutter.next_number(number, field)) fault = convert_recognised(number, wide, value);
            else if (!cutter.next(field)) return {FieldFault::missing, k + 1, column, line};
            else fault = convert(field, format.decimal_comma, wide, value, scratch);
            if (fault != FieldFault::none) return {fault, k + 1, column, field};
            continue;
        }
        // A line may end before its texts (a point without a description).
        if (!cutter.next(field)) continue;
        if (column == Column::name) out.name = field;
        if (column == Column::code) out.code = field;
    }
    return {};
}

std::string table_problem_text(std::string_view file, const TableProblem& problem) {
    constexpr std::size_t kMostShown = 60;
    std::string text = "3dpoint: ";
    text += file;
    text += ", line " + std::to_string(problem.line) + ", field " + std::to_string(problem.where.field) + " (";
    text += column_name(problem.where.column);
    text += "): ";
    text += fault_text(problem.where.fault);
    if (problem.where.fault != FieldFault::empty) {
        std::string shown = problem.found.substr(0, kMostShown);
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
        text += " '" + shown + (problem.found.size() > kMostShown ? "...'" : "'");
    }
    text += '\n';
    return text;
}

TableResult read_point_table(io::RecordSource& records, const TableFormat& format, std::uint32_t skip,
                             PointStore& store, TableProblem& problem, ProgressLine* progress, Linework* linework) {
    const bool lines = linework != nullptr && linework->enabled;
    std::size_t code_field = 0;
    for (std::size_t k = 0; k < format.columns.count; ++k)
        if (format.columns.columns[k] == Column::code) code_field = k + 1;
    std::string scratch;
    std::uint64_t line_number = 0;
    store.keep_texts(format.keep_names, format.keep_codes, format.keep_descriptions);
    const bool texts = store.keeps_texts();
    const NumberLine numbers{format};
    for (;;) {
        std::string_view line;
        if (const int number = records.next_record(line); number != 0) {
            if (number == err::kEndOfFile) return {};
            return {TableOutcome::record_error, number};
        }
        ++line_number;
        if (progress != nullptr) progress->step();
        if (line_number <= skip) continue;
        TableLine parsed;
        // A line taken this way starts with a number: no blank line, no remark.
        if (!texts && numbers.usable() && numbers.parse(line, parsed)) {
            if (!store.append(parsed.x, parsed.y, parsed.z)) return {TableOutcome::no_memory, err::kNoMemory};
            continue;
        }
        if (is_skipped_line(line)) continue;
        if (const LineProblem where = parse_table_line(line, format, parsed, scratch); where.fault != FieldFault::none) {
            problem.line = line_number;
            problem.where = where;
            problem.found.assign(where.found);
            return {TableOutcome::refused, 0};
        }
        const auto index = static_cast<std::uint32_t>(store.size());
        bool stored = store.append(parsed.x, parsed.y, parsed.z);
        const linework::DescriptionParts parts = format.code_is_first_word
                                                     ? linework::split_description(parsed.code)
                                                     : linework::DescriptionParts{parsed.code, {}};
        std::uint32_t layer = 0;
        if (texts) stored = stored && store.add_texts(parsed.name, parts.code, parsed.code, &layer);
        if (!stored) return {TableOutcome::no_memory, err::kNoMemory};
        if (linework::ControlFault fault; lines && !linework->add_point(index, parts.code, parts.after_code, layer, fault)) {
            problem.line = line_number;
            problem.where = {FieldFault::line_control, code_field, Column::code, fault.word};
            problem.found.assign(fault.word);
            return {TableOutcome::refused, 0};
        }
    }
}

}  // namespace app
