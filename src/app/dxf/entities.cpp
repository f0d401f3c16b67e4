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

LabelPlan::LabelPlan(const io::FieldSpec& coordinate, double height)
    : records_{fixed(code(0)), fixed(text("TEXT")),
               fixed(code(5)), slot(io::field::A),
               fixed(code(8)), slot(io::field::A),
               fixed(code(10)), slot(coordinate),
               fixed(code(20)), slot(coordinate),
               fixed(code(30)), slot(coordinate),
               fixed(code(40)), fixed(text(size_text(height, height_room_))),
               fixed(code(1)), slot(io::field::A)},
      plan_(records_) {}

}  // namespace app::dxf
