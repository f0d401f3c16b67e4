#include "app/table/codes_file.h"

#include <array>

#include "app/table/field_cutter.h"
#include "app/table/refusal_text.h"
#include "app/table/shown_text.h"
#include "reporting/error_numbers.h"

namespace app::table {
namespace {

constexpr std::size_t kColumns = 4;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Holds `word`, letter case aside.
bool mentions(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at)
        if (same_code(text.substr(at, word.size()), word)) return true;
    return false;
}

// 1..255 in decimal digits alone; 0 for anything else.
std::uint8_t colour_number(std::string_view text) {
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 255) return 0;
    }
    return static_cast<std::uint8_t>(value);
}

bool line_word(std::string_view text, bool& draws) {
    for (const std::string_view yes : {"line", "yes", "1"})
        if (same_code(text, yes)) return draws = true;
    for (const std::string_view no : {"", "no", "0"})
        if (same_code(text, no)) return !(draws = false);
    return false;
}

struct RowFault {
    CodesFault fault = CodesFault::none;
    Field field;
};

// One data row into `entry`; `header` when the row is the header instead.
RowFault parse_row(std::string_view line, FieldDelimiter delimiter, std::string& scratch, bool may_be_header,
                   CodeEntry& entry, bool& header) {
    scratch.resize(line.size());
    FieldCutter cutter(line, delimiter, scratch);
    std::array<Field, kColumns> fields{};
    for (std::size_t k = 0; k < kColumns; ++k) {
        fields[k].number = static_cast<std::uint32_t>(k + 1);
        const Cut cut = cutter.next(fields[k]);
        if (cut == Cut::line_end) break;
        if (cut == Cut::unterminated_quote) return {CodesFault::unterminated_quote, fields[k]};
        if (cut == Cut::text_after_quote) return {CodesFault::text_after_quote, fields[k]};
    }
    const std::string_view colour = trimmed(fields[2].text);
    entry.colour = colour_number(colour);
    header = may_be_header && entry.colour == 0 && (mentions(colour, "colour") || mentions(colour, "color"));
    if (header) return {};
    if (fields[0].text.empty()) return {CodesFault::missing_code, fields[0]};
    if (!colour.empty() && entry.colour == 0) return {CodesFault::bad_colour, fields[2]};
    if (!line_word(trimmed(fields[3].text), entry.draws_line)) return {CodesFault::unknown_line_word, fields[3]};
    entry.code = fields[0].text;
    entry.layer = fields[1].text;
    return {};
}

constexpr std::string_view column_name(CodesColumn c) {
    switch (c) {
        case CodesColumn::code: return "code";
        case CodesColumn::layer: return "layer name";
        case CodesColumn::colour: return "colour";
        case CodesColumn::line: return "line";
    }
    return "";
}

constexpr std::string_view fault_text(CodesFault f) {
    switch (f) {
        case CodesFault::missing_code: return "empty";
        case CodesFault::duplicate_code: return "a code given before";
        case CodesFault::bad_colour: return "not a colour number 1..255";
        case CodesFault::unknown_line_word: return "not line, yes, 1, no or 0";
        case CodesFault::unterminated_quote: return "a quote not closed on its line";
        case CodesFault::text_after_quote: return "text after the closing quote";
        case CodesFault::none:
        case CodesFault::unreadable_encoding: break;
    }
    return "";
}

}  // namespace

CodesResult read_codes_file(io::RecordSource& records, CodeTable& table, CodesProblem& problem) {
    std::string scratch;
    std::uint64_t line_number = 0;
    bool first_data = true;
    FieldDelimiter delimiter = FieldDelimiter::blanks;
    for (;;) {
        std::string_view record;
        if (const int number = records.next_record(record); number != 0) {
            if (number == err::kEndOfFile) return {};
            return {CodesOutcome::record_error, number};
        }
        if (++line_number == 1) {
            problem.mark = byte_order_mark(record);
            if (!readable(problem.mark)) {
                problem.fault = CodesFault::unreadable_encoding;
                problem.line = 1;
                return {CodesOutcome::refused, 0};
            }
            record.remove_prefix(skipped_mark_bytes(record));
        }
        if (!is_data_line(record)) continue;
        if (first_data) delimiter = detect_delimiter(record, false);
        CodeEntry entry;
        entry.line = line_number;
        bool header = false;
        RowFault row = parse_row(record, delimiter, scratch, first_data, entry, header);
        first_data = false;
        if (row.fault == CodesFault::none && !header) {
            if (const CodeEntry* before = table.find(entry.code); before != nullptr) {
                row = {CodesFault::duplicate_code, {entry.code, 1, false}};
                problem.first_line = before->line;
            } else {
                table.add(std::move(entry));
            }
        }
        if (row.fault != CodesFault::none) {
            problem.fault = row.fault;
            problem.line = line_number;
            problem.field = row.field.number;
            problem.column = static_cast<CodesColumn>(row.field.number - 1);
            problem.found.assign(row.field.text);
            problem.cr_only = looks_cr_only(record);
            return {CodesOutcome::refused, 0};
        }
    }
}

std::string codes_problem_text(std::string_view file, const CodesProblem& problem) {
    if (problem.fault == CodesFault::unreadable_encoding) return encoding_refusal_text(file, problem.mark);
    Refusal refusal;
    refusal.file = file;
    refusal.line = problem.line;
    refusal.field = problem.field;
    refusal.column = column_name(problem.column);
    std::string what{fault_text(problem.fault)};
    if (problem.fault == CodesFault::duplicate_code) what += " (line " + std::to_string(problem.first_line) + ")";
    refusal.what = what;
    refusal.show_found = problem.fault != CodesFault::missing_code;
    refusal.found = problem.found;
    refusal.cr_only = problem.cr_only;
    return refusal_text(refusal);
}

}  // namespace app::table
