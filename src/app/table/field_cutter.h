// The one field cutter of point tables and code files: a small machine over
// the bytes of one record (its line end already gone) that hands out the
// fields as spans, CSV quoting understood, nothing allocated per field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/table/byte_search.h"

namespace app::table {

// What separates fields: one ',' ';' or TAB, or a run of blanks (spaces and
// TABs; blanks at either end of the line separate nothing).
enum class FieldDelimiter : std::uint8_t { comma, semicolon, tab, blanks };

struct Field {
    // The field's text: quotes removed and a doubled quote made one. A span
    // into the line, or into the cutter's scratch when quotes were doubled.
    // Blanks around an unquoted field are gone (spaces only under TAB);
    // inside quotes they stay.
    std::string_view text;
    std::uint32_t number = 0;  // 1-based place in the line
    // The text stood in quotes. Quotes only keep delimiters and blanks in a
    // field: a quoted "12.5" is still the number 12.5, and a reader takes it so.
    bool quoted = false;
};

enum class Cut : std::uint8_t {
    field,               // `field` holds the next field
    line_end,            // no field is left
    unterminated_quote,  // an opening quote with no closing one on the line
    text_after_quote,    // a closing quote followed by more than blanks before the delimiter
};

constexpr char delimiter_byte(FieldDelimiter d) {
    switch (d) {
        case FieldDelimiter::comma: return ',';
        case FieldDelimiter::semicolon: return ';';
        case FieldDelimiter::tab: return '\t';
        case FieldDelimiter::blanks: break;
    }
    return ' ';
}

// Hands out one line's fields in order. On a fault `field` names the field
// (its number, and its text as written, from its first byte to the
// delimiter, or to the line end for an unterminated quote); the cutter then
// stops. Under a one-byte delimiter a line of n delimiters has n + 1
// fields, so an empty last field is told; under blanks an empty line has none.
// A quote opens a quoted field only as the field's first byte after blanks;
// elsewhere it is text.
class FieldCutter {
public:
    // `scratch` receives the fields whose quotes were doubled; line.size()
    // bytes hold every such field of the line at once. (A shorter scratch is
    // never written past: such a field is cut short.)
    FieldCutter(std::string_view line, FieldDelimiter delimiter, std::span<char> scratch)
        : line_(line), scratch_(scratch), delimiter_(delimiter), byte_(delimiter_byte(delimiter)) {}

    // Inline, as it is called for every field of every line; only quoted
    // fields leave it.
    [[gnu::always_inline]] Cut next(Field& field) {
        if (done_) return Cut::line_end;
        const char* const end = line_.data() + line_.size();
        const char* p = line_.data() + at_;
        while (p != end && is_pad(*p)) ++p;
        if (p == end && delimiter_ == FieldDelimiter::blanks) {
            done_ = true;
            return Cut::line_end;
        }
        field.number = ++number_;
        if (p != end && *p == '"') return cut_quoted(p, field);
        // The usual field: no quote, so the delimiter ends it wherever it is.
        const char* const stop = find_delimiter(p, end);
        const char* last = stop;
        while (last != p && is_pad(last[-1])) --last;
        field.text = {p, static_cast<std::size_t>(last - p)};
        field.quoted = false;
        pass(stop);
        return Cut::field;
    }

    // The quick way to a number, read where it stands in one pass rather
    // than cut first and read second: where the next field starts, for the
    // caller's recogniser to read from, or npos for a quoted field or none.
    std::size_t bare_field_start() {
        const char* const end = line_.data() + line_.size();
        const char* p = line_.data() + at_;
        while (p != end && is_pad(*p)) ++p;
        at_ = static_cast<std::size_t>(p - line_.data());
        if (done_ || (p == end ? delimiter_ == FieldDelimiter::blanks : *p == '"')) return std::string_view::npos;
        return at_;
    }

    // Takes the field from bare_field_start() to `end`, where the caller's
    // number ended, when a field ends there: blanks, then the delimiter or
    // the line end (under blanks: a blank or the line end). The text must
    // hold no delimiter byte, as no number's does unless its decimal mark
    // is the delimiter. False leaves the field to next(), which tells
    // what is wrong with it.
    [[gnu::always_inline]] bool take_field(std::size_t end, Field& field) {
        const char* const line_end = line_.data() + line_.size();
        const char* const stop = line_.data() + end;
        const char* after = stop;
        while (after != line_end && is_pad(*after)) ++after;
        if (after != line_end && (delimiter_ == FieldDelimiter::blanks ? after == stop : *after != byte_)) return false;
        field.text = line_.substr(at_, end - at_);
        field.number = ++number_;
        field.quoted = false;
        pass(after);
        return true;
    }

private:
    // The blanks trimmed around a field: TAB is the delimiter itself under tab.
    bool is_pad(char c) const { return c == ' ' || (c == '\t' && delimiter_ != FieldDelimiter::tab); }
    [[gnu::always_inline]] const char* find_delimiter(const char* from, const char* end) const {
        if (delimiter_ == FieldDelimiter::blanks) return find_either(line_.data(), from, end, ' ', '\t');
        return find_either(line_.data(), from, end, byte_, byte_);
    }
    // Moves past `stop`, the delimiter ending a field, or the line end.
    // Under blanks the next call passes the run; a line's last field is
    // followed by nothing, while after a last delimiter an empty field comes.
    void pass(const char* stop) {
        if (delimiter_ == FieldDelimiter::blanks) at_ = static_cast<std::size_t>(stop - line_.data());
        else if (stop == line_.data() + line_.size()) done_ = true;
        else at_ = static_cast<std::size_t>(stop + 1 - line_.data());
    }
    Cut cut_quoted(const char* open, Field& field);
    Cut fault(Cut kind, const char* from, const char* to, Field& field);

    std::string_view line_;
    std::span<char> scratch_;
    std::size_t at_ = 0;
    std::size_t scratch_used_ = 0;
    std::uint32_t number_ = 0;
    FieldDelimiter delimiter_;
    char byte_;  // the delimiter's byte; a space for blanks
    bool done_ = false;
};

// A line that holds data: neither blank nor a remark starting with '#'
// (after blanks).
bool is_data_line(std::string_view line);

// The delimiter of a table whose delimiter was not given, from its first
// data line: TAB, else ';', else ',' (not when the numbers are written with a
// decimal comma), each counted only outside quotes and not at either end of
// the line; blanks when none of them occurs. Of those that occur, the first
// that cuts the line into `fields_needed` fields is taken (the first of all
// when none does).
FieldDelimiter detect_delimiter(std::string_view first_data_line, bool decimal_comma, std::size_t fields_needed = 0);

}  // namespace app::table
