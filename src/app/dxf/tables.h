// The TABLES section: empty, or the LAYER table of the points' layers.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/dxf/dxf_record.h"

namespace app::dxf {

// An integer value right-aligned in six columns, as drawing programs write
// them, or as long as it is when six are too few.
Record integer_value(std::int32_t v);

// A handle made of letters and a number: see entities.h for the families.
std::string_view tagged_handle(std::string_view letters, std::uint64_t number, std::span<char, 24> room);

// The layers a drawing declares, as written: layer "0", then its codes'
// layers in order of first use (`codes` of them, "0" included), each with
// the palette's colour, then the layers of the kinds of label it writes.
struct LayerList {
    std::span<const std::string_view> names;
    std::size_t codes = 1;
    std::span<const std::uint8_t> colours;  // of the codes' layers, 0 for the palette's; empty: all the palette's
};

// With only layer "0" to declare, the section is empty, as in the classic file.
void write_tables(RecordWriter& out, const LayerList& layers);

}  // namespace app::dxf
