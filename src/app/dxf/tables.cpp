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
    if (layers.names.size() > 1 || layers.codes > 1) {
        out.all(table("LAYER", integer_value(static_cast<std::int32_t>(layers.names.size()))));
        std::array<char, 24> room;
        std::size_t from_palette = 0;
        for (std::size_t k = 0; k < layers.names.size() && out.number() == 0; ++k) {
            // Layer "0" and the labels' keep the colour that shows on any
            // background; a code's takes the codes file's, else the palette's next.
            std::int32_t colour = 7;
            if (k > 0 && k < layers.codes) {
                const std::uint8_t given = k < layers.colours.size() ? layers.colours[k] : 0;
                colour = given != 0 ? given : colour_for(from_palette++);
            }
            out(code(0))(text("LAYER"))(code(5))(text(tagged_handle("E", k, room)))(code(2))(text(layers.names[k]));
            out(code(70))(integer(0))(code(62))(integer(colour))(code(6))(text("CONTINUOUS"));
        }
        out.all(end_table);
    }
    out.all(end_section);
}

}  // namespace app::dxf
