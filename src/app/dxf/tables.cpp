#include "app/dxf/tables.h"

#include <charconv>

#include "app/dxf/sections.h"

namespace app::dxf {

Record integer_value(std::int32_t v) {
    return v <= 999999 && v >= -99999 ? integer(v) : Record{io::field::I0, io::ItemValue::of(v)};
}

std::string_view tagged_handle(char tag, std::uint64_t number, std::span<char, 24> room) {
    room[0] = tag;
    const auto end = std::to_chars(room.data() + 1, room.data() + room.size(), number).ptr;
    return {room.data(), static_cast<std::size_t>(end - room.data())};
}

void write_tables(RecordWriter& out, const LayerTable* layers) {
    out.all(section("TABLES"));
    if (layers != nullptr) {
        const auto count = static_cast<std::int32_t>(layers->size());
        out.all(table("LAYER", integer_value(count)));
        std::array<char, 24> room;
        for (std::int32_t k = 0; k < count; ++k) {
            const std::string_view handle = tagged_handle('E', static_cast<std::uint64_t>(k), room);
            out(code(0))(text("LAYER"))(code(5))(text(handle))(code(2))(text(layers->name(static_cast<std::uint32_t>(k))));
            out(code(70))(integer(0))(code(62))(integer(7))(code(6))(text("CONTINUOUS"));
            if (out.number() != 0) break;
        }
        out.all(end_table);
    }
    out.all(end_section);
}

}  // namespace app::dxf
