#include "app/dxf/tables.h"

#include <algorithm>
#include <charconv>

#include "app/dxf/sections.h"
#include "app/palette.h"

namespace app::dxf {

Record integer_value(std::int32_t v) {
    return v <= 999999 && v >= -99999 ? integer(v) : Record{io::field::I0, io::ItemValue::of(v)};
}

std::string_view tagged_handle(std::string_view letters, std::uint64_t number, std::span<char, 24> room) {
    std::copy(letters.begin(), letters.end(), room.begin());
    const auto end = std::to_chars(room.data() + letters.size(), room.data() + room.size(), number).ptr;
    return {room.data(), static_cast<std::size_t>(end - room.data())};
}

void write_tables(RecordWriter& out, const LayerList& layers) {
    out.all(section("TABLES"));
    const std::size_t codes = layers.codes != nullptr ? layers.codes->size() : 0;
    const std::size_t count = std::max<std::size_t>(codes, 1) + layers.label_layers.size();
    if (layers.codes != nullptr || !layers.label_layers.empty()) {
        out.all(table("LAYER", integer_value(static_cast<std::int32_t>(count))));
        std::array<char, 24> room;
        for (std::size_t k = 0; k < count && out.number() == 0; ++k) {
            const std::string_view handle = tagged_handle("E", k, room);
            // Layer "0" keeps the colour that shows on any background.
            const bool code_layer = k > 0 && k < codes;
            const std::string_view name = k == 0                 ? std::string_view{"0"}
                                          : code_layer           ? layers.codes->name(static_cast<std::uint32_t>(k))
                                                                 : layers.label_layers[k - std::max<std::size_t>(codes, 1)];
            const std::int32_t colour = code_layer ? colour_for(k - 1) : 7;
            out(code(0))(text("LAYER"))(code(5))(text(handle))(code(2))(text(name));
            out(code(70))(integer(0))(code(62))(integer(colour))(code(6))(text("CONTINUOUS"));
        }
        out.all(end_table);
    }
    out.all(end_section);
}

}  // namespace app::dxf
