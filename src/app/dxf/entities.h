// The entities of a drawing as record plans: their fixed records formatted
// once, their slots filled per entity.
//
// Handles are unique across the drawing: a point's is its position in
// decimal digits, as in the classic file; every other kind has letters of
// its own (A to F, so the handle stays hexadecimal) before a number: labels
// "F", "FA", "FB" and their point's position, a layer "E" and its index,
// the block definition's entities "C", an insert "D", its attributes "DA",
// "DB", "DC" and its end "DD", a polyline "B", its vertices "BA", its end
// "BB". The letters run until the first digit, so two kinds never meet: a
// handle read as hexadecimal names one entity only.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/dxf/dxf_record.h"
#include "io/format/fixed_decimals.h"
#include "io/record_plan.h"

namespace app::dxf {

// A POINT: its handle, its layer when the drawing has layers (layer "0"
// otherwise, a fixed record), x, y and z under the drawing's coordinate field.
class PointPlan {
public:
    PointPlan(bool layered, const io::FieldSpec& coordinate);
    PointPlan(const PointPlan&) = delete;
    PointPlan& operator=(const PointPlan&) = delete;

    const io::RecordPlan& plan() const { return plan_; }
    // The slot values: room for five, as many used as the plan has slots.
    std::span<const io::ItemValue> values(std::array<io::ItemValue, 5>& room, std::int32_t position,
                                          std::string_view layer, const io::ItemValue& x, const io::ItemValue& y,
                                          const io::ItemValue& z) const {
        if (!layered_) {
            room[0] = io::ItemValue::of(position);
            room[1] = x;
            room[2] = y;
            room[3] = z;
            return std::span{room}.first(4);
        }
        room = {io::ItemValue::of(position), io::ItemValue::of(layer), x, y, z};
        return room;
    }

private:
    bool layered_;
    std::array<io::PlannedRecord, 12> records_;
    io::RecordPlan plan_;
};

// A TEXT beside a point on a layer of its kind: handle, x, y, z under the
// coordinate field, the fixed height, then the text under `text` (a string,
// or the elevation as a decimals field).
class LabelPlan {
public:
    LabelPlan(std::string_view layer, const io::FieldSpec& coordinate, double height, const io::FieldSpec& text);
    LabelPlan(const LabelPlan&) = delete;
    LabelPlan& operator=(const LabelPlan&) = delete;

    const io::RecordPlan& plan() const { return plan_; }

private:
    std::array<char, io::kFixedDecimalsRoom> height_room_;
    std::array<io::PlannedRecord, 16> records_;
    io::RecordPlan plan_;
};

// A point block's insert: handle, layer, the block's name, x, y, z; its
// attributes follow it.
class InsertPlan {
public:
    InsertPlan(std::string_view block, const io::FieldSpec& coordinate);
    InsertPlan(const InsertPlan&) = delete;
    InsertPlan& operator=(const InsertPlan&) = delete;
    const io::RecordPlan& plan() const { return plan_; }

private:
    std::array<io::PlannedRecord, 16> records_;
    io::RecordPlan plan_;
};

// One attribute of an insert: handle, x, y, z, then its value under `text`,
// on the layer of its kind, with its tag.
class AttributePlan {
public:
    AttributePlan(std::string_view tag, std::string_view layer, const io::FieldSpec& coordinate, double height,
                  const io::FieldSpec& text);
    AttributePlan(const AttributePlan&) = delete;
    AttributePlan& operator=(const AttributePlan&) = delete;
    const io::RecordPlan& plan() const { return plan_; }

private:
    std::array<char, io::kFixedDecimalsRoom> height_room_;
    std::array<io::PlannedRecord, 20> records_;
    io::RecordPlan plan_;
};

// A polyline's head: handle, layer, then whether it is closed. A 3D
// polyline (flags 8, closed 9) or, `flat`, a 2D one at elevation 0 (flags
// 0, closed 1).
class PolylinePlan {
public:
    explicit PolylinePlan(bool flat);
    const io::RecordPlan& plan(bool closed) const { return closed ? closed_plan_ : open_plan_; }

private:
    std::array<io::PlannedRecord, 16> open_records_;
    std::array<io::PlannedRecord, 16> closed_records_;
    io::RecordPlan open_plan_;
    io::RecordPlan closed_plan_;
};

// A polyline's vertex: handle, layer, x, y, z (0 when flat) under the
// coordinate field.
class VertexPlan {
public:
    VertexPlan(bool flat, const io::FieldSpec& coordinate);
    const io::RecordPlan& plan() const { return plan_; }

private:
    std::array<io::PlannedRecord, 14> records_;
    io::RecordPlan plan_;
};

// The end of an insert's attributes or a polyline's vertices: handle, layer.
class SequenceEndPlan {
public:
    SequenceEndPlan();
    const io::RecordPlan& plan() const { return plan_; }

private:
    std::array<io::PlannedRecord, 6> records_;
    io::RecordPlan plan_;
};

}  // namespace app::dxf
