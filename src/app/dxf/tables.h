// The TABLES section: empty, or the LAYER table of the points' layers.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "app/dxf/dxf_record.h"
#include "app/layer_table.h"

namespace app::dxf {

// An integer value right-aligned in six columns, as drawing programs write
// them, or as long as it is when six are too few.
Record integer_value(std::int32_t v);

// A handle made of a letter and a number: see entities.h for the families.
std::string_view tagged_handle(char tag, std::uint64_t number, std::span<char, 24> room);

// `layers` is null for the empty section.
void write_tables(RecordWriter& out, const LayerTable* layers);

}  // namespace app::dxf
