// The entities of a drawing as record plans: their fixed records formatted
// once, their slots filled per entity.
//
// Handles are unique across the drawing: a point's is its position in
// decimal digits, as in the classic file; every other kind has a letter of
// its own before a number (a label "F" and its point's position, a layer "E"
// and its index). Read as hexadecimal, no two are the same number: digits
// alone, or a letter first that no other kind starts with.
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

// A TEXT at a point: handle, layer, x, y, z, then the fixed height, then the text.
class LabelPlan {
public:
    LabelPlan(const io::FieldSpec& coordinate, double height);
    LabelPlan(const LabelPlan&) = delete;
    LabelPlan& operator=(const LabelPlan&) = delete;

    const io::RecordPlan& plan() const { return plan_; }

private:
    std::array<char, io::kFixedDecimalsRoom> height_room_;
    std::array<io::PlannedRecord, 16> records_;
    io::RecordPlan plan_;
};

}  // namespace app::dxf
