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

// A handle made of letters and a number: see entities.h for the families.
std::string_view tagged_handle(std::string_view letters, std::uint64_t number, std::span<char, 24> room);

// The layers a drawing declares: layer "0", then its codes' layers in order
// of first use, each with the palette's colour, then the layers of the kinds
// of label it writes.
struct LayerList {
    const LayerTable* codes = nullptr;  // null: no code layers
    std::span<const std::string_view> label_layers;
};

// Without any layer to declare, the section is empty.
void write_tables(RecordWriter& out, const LayerList& layers);

}  // namespace app::dxf
