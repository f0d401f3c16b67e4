#include "app/dxf/header.h"

#include "app/dxf/sections.h"

namespace app::dxf {
namespace {

// A coordinate under the drawing's field: single precision when the field is
// the one-decimal one, as the points themselves are written.
io::ItemValue coordinate_value(const io::FieldSpec& coordinate, double v) {
    return coordinate.kind == io::FieldKind::decimals ? io::ItemValue::of(v) : io::ItemValue::of(static_cast<float>(v));
}

void write_point_variable(RecordWriter& out, std::string_view name, const io::FieldSpec& coordinate, const double (&p)[3]) {
    out(code(9))(text(name));
    out(code(10))({coordinate, coordinate_value(coordinate, p[0])});
    out(code(20))({coordinate, coordinate_value(coordinate, p[1])});
    out(code(30))({coordinate, coordinate_value(coordinate, p[2])});
}

}  // namespace

std::string_view size_text(double size, std::span<char, io::kFixedDecimalsRoom> room) {
    std::size_t n = io::format_fixed_decimals(size, io::kMostFixedDecimals, '.', room);
    while (room[n - 1] == '0' && room[n - 2] != '.') --n;
    return {room.data(), n};
}

void write_header(RecordWriter& out, const HeaderPlan& header, const io::FieldSpec& coordinate, const Extents& extents,
                  std::string_view code_page) {
    out.all(section("HEADER"));
    out.all(variable("$ACADVER", 1, kVersion));
    if (!code_page.empty()) out.all(variable("$DWGCODEPAGE", 3, text(code_page)));
    out.all(variable("$PDMODE", 70, integer(header.point_mode)));
    std::array<char, io::kFixedDecimalsRoom> room;
    out.all(variable("$PDSIZE", 40, header.point_size_given ? text(size_text(header.point_size, room)) : kNoPointSize));
    if (header.extents && !extents.empty) {
        write_point_variable(out, "$EXTMIN", coordinate, extents.low);
        write_point_variable(out, "$EXTMAX", coordinate, extents.high);
    }
    out.all(end_section);
}

}  // namespace app::dxf
