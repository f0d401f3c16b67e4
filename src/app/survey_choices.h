// What the survey options ask of a run. All defaults: the classic run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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
    bool layers = false;
    bool point_style = false;
    std::int32_t point_mode = 35;
    bool point_size_given = false;
    double point_size = 0.0;
    bool extents = false;

    // Any option given: the run is no longer the classic one.
    bool any() const {
        return table || skip != 0 || delimiter_given || decimal_comma || decimals_given || labels || layers ||
               point_style || extents;
    }
};

}  // namespace app
