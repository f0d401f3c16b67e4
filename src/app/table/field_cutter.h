// The one field cutter of point tables and code files: a small machine over
// the bytes of one record (its line end already gone) that hands out the
// fields as spans, CSV quoting understood, nothing allocated per field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

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
        : line_(line), scratch_(scratch), delimiter_(delimiter) {}

    Cut next(Field& field);

private:
    // The blanks trimmed around a field: TAB is the delimiter itself under tab.
    bool is_pad(char c) const { return c == ' ' || (c == '\t' && delimiter_ != FieldDelimiter::tab); }
    const char* find_delimiter(const char* from, const char* end) const;
    Cut cut_quoted(const char* open, Field& field);
    Cut fault(Cut kind, const char* from, const char* to, Field& field);
    // Moves past `stop`, the delimiter ending a field, or the line end.
    void pass(const char* stop);

    std::string_view line_;
    std::span<char> scratch_;
    std::size_t at_ = 0;
    std::size_t scratch_used_ = 0;
    std::uint32_t number_ = 0;
    FieldDelimiter delimiter_;
    bool done_ = false;
};

// A line that holds data: neither blank nor a remark starting with '#'
// (after blanks).
bool is_data_line(std::string_view line);

// The delimiter of a table whose delimiter was not given, from its first
// data line: TAB, else ';', else ',' (not when the numbers are written with a
// decimal comma), each counted only outside quotes and not at either end of
// the line; blanks when none of them occurs.
FieldDelimiter detect_delimiter(std::string_view first_data_line, bool decimal_comma);

}  // namespace app::table
