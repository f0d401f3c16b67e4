#include "app/dxf/entities.h"

#include "app/dxf/header.h"

namespace app::dxf {

PointPlan::PointPlan(bool layered, const io::FieldSpec& coordinate)
    : layered_(layered),
      records_{fixed(code(0)), fixed(text("POINT")),
               fixed(code(5)), slot(io::field::I0),
               fixed(code(8)), layered ? slot(io::field::A) : fixed({io::field::I1, io::ItemValue::of(0)}),
               fixed(code(10)), slot(coordinate),
               fixed(code(20)), slot(coordinate),
               fixed(code(30)), slot(coordinate)},
      plan_(records_) {}

LabelPlan::LabelPlan(std::string_view layer, const io::FieldSpec& coordinate, double height, const io::FieldSpec& value)
    : records_{fixed(code(0)), fixed(text("TEXT")),
               fixed(code(5)), slot(io::field::A),
               fixed(code(8)), fixed(text(layer)),
               fixed(code(10)), slot(coordinate),
               fixed(code(20)), slot(coordinate),
               fixed(code(30)), slot(coordinate),
               fixed(code(40)), fixed(text(size_text(height, height_room_))),
               fixed(code(1)), slot(value)},
      plan_(records_) {}

InsertPlan::InsertPlan(std::string_view block, const io::FieldSpec& coordinate)
    : records_{fixed(code(0)), fixed(text("INSERT")),
               fixed(code(5)), slot(io::field::A),
               fixed(code(8)), slot(io::field::A),
               fixed(code(66)), fixed(integer(1)),
               fixed(code(2)), fixed(text(block)),
               fixed(code(10)), slot(coordinate),
               fixed(code(20)), slot(coordinate),
               fixed(code(30)), slot(coordinate)},
      plan_(records_) {}

AttributePlan::AttributePlan(std::string_view tag, std::string_view layer, const io::FieldSpec& coordinate,
                             double height, const io::FieldSpec& value)
    : records_{fixed(code(0)), fixed(text("ATTRIB")),
               fixed(code(5)), slot(io::field::A),
               fixed(code(8)), fixed(text(layer)),
               fixed(code(10)), slot(coordinate),
               fixed(code(20)), slot(coordinate),
               fixed(code(30)), slot(coordinate),
               fixed(code(40)), fixed(text(size_text(height, height_room_))),
               fixed(code(1)), slot(value),
               fixed(code(2)), fixed(text(tag)),
               fixed(code(70)), fixed(integer(0))},
      plan_(records_) {}

SequenceEndPlan::SequenceEndPlan()
    : records_{fixed(code(0)), fixed(text("SEQEND")),
               fixed(code(5)), slot(io::field::A),
               fixed(code(8)), slot(io::field::A)},
      plan_(records_) {}

}  // namespace app::dxf

namespace app::dxf {
namespace {

constexpr std::array<io::PlannedRecord, 16> polyline_records(bool flat, bool closed) {
    const std::int32_t flags = (flat ? 0 : 8) | (closed ? 1 : 0);
    return {fixed(code(0)), fixed(text("POLYLINE")),
            fixed(code(5)), slot(io::field::A),
            fixed(code(8)), slot(io::field::A),
            fixed(code(66)), fixed(integer(1)),
            fixed(code(10)), fixed(text("0.0")),
            fixed(code(20)), fixed(text("0.0")),
            fixed(code(30)), fixed(text("0.0")),
            fixed(code(70)), fixed(integer(flags))};
}

}  // namespace

PolylinePlan::PolylinePlan(bool flat)
    : open_records_(polyline_records(flat, false)),
      closed_records_(polyline_records(flat, true)),
      open_plan_(open_records_),
      closed_plan_(closed_records_) {}

VertexPlan::VertexPlan(bool flat, const io::FieldSpec& coordinate)
    : records_{fixed(code(0)), fixed(text("VERTEX")),
               fixed(code(5)), slot(io::field::A),
               fixed(code(8)), slot(io::field::A),
               fixed(code(10)), slot(coordinate),
               fixed(code(20)), slot(coordinate),
               fixed(code(30)), flat ? fixed(text("0.0")) : slot(coordinate),
               fixed(code(70)), fixed(integer(flat ? 0 : 32))},
      plan_(records_) {}

}  // namespace app::dxf
