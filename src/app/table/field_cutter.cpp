#include "app/table/field_cutter.h"

#include <algorithm>
#include <cstring>

namespace app::table {
namespace {

constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }

const char* find_byte(const char* from, const char* end, char byte) {
    const void* hit = std::memchr(from, byte, static_cast<std::size_t>(end - from));
    return hit ? static_cast<const char*>(hit) : end;
}

}  // namespace

Cut FieldCutter::fault(Cut kind, const char* from, const char* to, Field& field) {
    field.text = {from, static_cast<std::size_t>(to - from)};
    field.quoted = false;
    done_ = true;
    return kind;
}

Cut FieldCutter::cut_quoted(const char* open, Field& field) {
    const char* const end = line_.data() + line_.size();
    const char* const start = open + 1;
    const char* close = find_byte(start, end, '"');
    if (close == end) return fault(Cut::unterminated_quote, open, end, field);
    if (close + 1 == end || close[1] != '"') {
        field.text = {start, static_cast<std::size_t>(close - start)};
    } else {
        // Doubled quotes: the text is unescaped into the scratch, piece by
        // piece, each piece ending at a quote kept once.
        char* const out = scratch_.data() + scratch_used_;
        const std::size_t room = scratch_.size() - scratch_used_;
        std::size_t length = 0;
        const auto put = [&](const char* from, std::size_t n) {
            n = std::min(n, room - length);
            if (n != 0) std::memcpy(out + length, from, n);
            length += n;
        };
        const char* piece = start;
        while (close + 1 != end && close[1] == '"') {
            put(piece, static_cast<std::size_t>(close + 1 - piece));
            piece = close + 2;
            close = find_byte(piece, end, '"');
            if (close == end) return fault(Cut::unterminated_quote, open, end, field);
        }
        put(piece, static_cast<std::size_t>(close - piece));
        scratch_used_ += length;
        field.text = {out, length};
    }
    field.quoted = true;
    // After the closing quote only blanks may come before the delimiter;
    // under blanks, at least one must, or the field would go on.
    const char* after = close + 1;
    while (after != end && is_pad(*after)) ++after;
    const bool separated = delimiter_ == FieldDelimiter::blanks ? after == end || after != close + 1
                                                                  : after == end || *after == byte_;
    if (!separated) return fault(Cut::text_after_quote, open, find_delimiter(after, end), field);
    pass(after);
    return Cut::field;
}

bool is_data_line(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    return i < line.size() && line[i] != '#';
}

namespace {

// How many fields `delimiter` cuts the line into, counting no further than `most`.
std::size_t fields_cut(std::string_view line, FieldDelimiter delimiter, std::size_t most) {
    FieldCutter cutter(line, delimiter, {});
    Field field;
    std::size_t n = 0;
    while (n < most && cutter.next(field) == Cut::field) ++n;
    return n;
}

}  // namespace

FieldDelimiter detect_delimiter(std::string_view line, bool decimal_comma, std::size_t fields_needed) {
    const std::string_view whole = line;
    // Blanks at the ends of a line are an editor's, not a delimiter.
    while (!line.empty() && is_blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && is_blank(line.back())) line.remove_suffix(1);
    bool tab = false, semicolon = false, comma = false;
    bool field_start = true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (field_start && c == '"') {
            // A quoted field, doubled quotes and all, is passed whole; a
            // quote elsewhere (6" pipe) is text, as the cutter takes it.
            std::size_t close = line.find('"', i + 1);
            while (close != std::string_view::npos && close + 1 < line.size() && line[close + 1] == '"')
                close = line.find('"', close + 2);
            if (close == std::string_view::npos) break;
            i = close;
            field_start = false;
            continue;
        }
        tab = tab || c == '\t';
        semicolon = semicolon || c == ';';
        comma = comma || c == ',';
        field_start = c == '\t' || c == ';' || c == ',' || c == ' ';
    }
    // The first that occurs and cuts the line into the fields its reader
    // needs: a ';' in the text of a comma-separated line does not win alone.
    FieldDelimiter found[4];
    std::size_t count = 0;
    if (tab) found[count++] = FieldDelimiter::tab;
    if (semicolon) found[count++] = FieldDelimiter::semicolon;
    if (comma && !decimal_comma) found[count++] = FieldDelimiter::comma;
    found[count++] = FieldDelimiter::blanks;
    for (std::size_t k = 0; k < count; ++k)
        if (fields_cut(whole, found[k], fields_needed) >= fields_needed) return found[k];
    return found[0];
}

}  // namespace app::table
