// The frame of a drawing: sections, header variables, tables, the end.
#pragma once

#include <array>
#include <string_view>

#include "app/dxf/dxf_record.h"

namespace app::dxf {

constexpr std::array<Record, 4> section(std::string_view name) {
    return {code(0), text("SECTION"), code(2), text(name)};
}
inline constexpr Record end_section[] = {code(0), text("ENDSEC")};
inline constexpr Record end_of_file[] = {code(0), text("EOF")};

// A header variable of one value under its group code.
constexpr std::array<Record, 4> variable(std::string_view name, std::int32_t group, const Record& value) {
    return {code(9), text(name), code(group), value};
}

// A table's head; `count` says how many entries follow.
constexpr std::array<Record, 6> table(std::string_view name, const Record& count) {
    return {code(0), text("TABLE"), code(2), text(name), code(70), count};
}
inline constexpr Record end_table[] = {code(0), text("ENDTAB")};

inline constexpr Record kVersion = text("AC1009");
// Without a size of the user's, the display size is the integer 0 under a
// real field: its bits are those of 0.0, so the record reads "0.0".
inline constexpr Record kNoPointSize = {io::field::F3_1, io::ItemValue::of(0)};

}  // namespace app::dxf
