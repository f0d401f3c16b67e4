// The line that refuses a record of a table or a code file, told by file,
// line and field, with what was found there shown as shown_text shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/table/byte_order_mark.h"

namespace app::table {

struct Refusal {
    std::string_view file;
    std::uint64_t line = 0;
    std::uint32_t field = 0;   // 1-based
    std::string_view column;   // the field's column: "easting", "colour"
    std::string_view what;     // "not a number", "empty"
    bool show_found = true;    // false where the text says all: an empty field
    std::string_view found;    // the field's text as written, or the whole line
    bool cr_only = false;      // looks_cr_only of the record: a second line hints at it
};

// "3dpoint: FILE, line L, field F (COLUMN): WHAT 'FOUND'" and a line feed;
// with cr_only a second line says the file's lines seem to end in CR alone.
std::string refusal_text(const Refusal& refusal);

// "3dpoint: FILE is in UTF-16 little-endian: save it as UTF-8" and a line
// feed, for a file whose mark says it is no UTF-8.
std::string encoding_refusal_text(std::string_view file, ByteOrderMark mark);

}  // namespace app::table
