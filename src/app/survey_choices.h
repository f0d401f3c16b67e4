// What the survey options ask of a run. All defaults: the classic run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace app {

// The columns of a point table, in the order the file gives them.
enum class Column : std::uint8_t { name, easting, northing, height, code, ignored };

enum class Delimiter : std::uint8_t { blanks_comma_or_semicolon, comma, semicolon, tab, space };

struct ColumnSpec {
    static constexpr std::size_t kMostColumns = 32;
    std::array<Column, kMostColumns> columns{};
    std::size_t count = 0;

    bool has(Column c) const {
        for (std::size_t i = 0; i < count; ++i)
            if (columns[i] == c) return true;
        return false;
    }
};

// What a label shows; any of them, in this order beside the point.
enum LabelField : std::uint8_t { kLabelName = 1, kLabelElevation = 2, kLabelDescription = 4 };

struct SurveyChoices {
    bool table = false;  // --columns: a point table instead of the classic list
    ColumnSpec columns;
    std::uint32_t skip = 0;
    bool delimiter_given = false;
    Delimiter delimiter = Delimiter::blanks_comma_or_semicolon;
    bool decimal_comma = false;
    bool decimals_given = false;  // doubles, written with `decimals` digits
    std::uint32_t decimals = 0;
    bool labels = false;
    std::uint8_t label_fields = 0;  // LabelField bits; --labels alone is the name
    bool text_height_given = false;
    double text_height = 0.0;
    bool blocks = false;
    bool layers = false;
    std::string_view codes_file;   // --codes: code, layer, colour, line
    bool lines = false;            // --lines: linework by code
    std::string_view line_codes;   // the codes it names, comma-separated (may be empty with --codes)
    bool flat = false;
    bool lines_only = false;
    std::string_view encoding;     // --encoding: the input's code page
    std::string_view codepage;     // --codepage: the drawing's
    bool point_style = false;
    std::int32_t point_mode = 35;
    bool point_size_given = false;
    double point_size = 0.0;
    bool extents = false;

    // Any option given: the run is no longer the classic one.
    bool any() const {
        return table || skip != 0 || delimiter_given || decimal_comma || decimals_given || labels || layers ||
               point_style || extents || text_height_given || blocks || !codes_file.empty() || lines || flat ||
               lines_only || !encoding.empty() || !codepage.empty();
    }
};

}  // namespace app
