// What a survey run adds to the drawing: the header's point style and
// extents, the LAYER table, TEXT labels, and coordinates at a chosen number
// of decimals. The classic records stay in write_dxf.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/survey_choices.h"
#include "app/survey_points.h"
#include "io/format/field_format.h"
#include "io/format/fixed_decimals.h"
#include "io/record_plan.h"

namespace app {

// How coordinates are written: the classic field (one decimal of the
// single-precision value) or exactly N decimals of the double.
class CoordinateFormat {
public:
    explicit CoordinateFormat(const SurveyChoices& choices)
        : wide_(choices.decimals_given), decimals_(choices.decimals) {}

    io::FieldSpec field() const { return wide_ ? io::field::A : io::field::F0_1; }

    // The value to write in that field; a text lives in `room`.
    io::ItemValue value(double v, std::span<char, io::kFixedDecimalsRoom> room) const {
        if (!wide_) return io::ItemValue::of(static_cast<float>(v));
        return io::ItemValue::of(std::string_view{room.data(), io::format_fixed_decimals(v, decimals_, '.', room)});
    }

private:
    bool wide_;
    std::uint32_t decimals_;
};

// A size as short as its value allows at nine decimals, one decimal at least:
// 0.05 gives "0.05", 2 gives "2.0".
std::string size_text(double size);

// The height of the labels: the point size when it is a drawing size, else 1.
double label_height(const SurveyChoices& choices);

// Handles: a point's is its position in decimal digits, as in the classic
// file; a label's is "F" and its point's position, a layer's "E" and its
// index. Read as hexadecimal, no two are the same number: digits alone, or
// a letter first that the other kinds do not have.
std::string_view tagged_handle(char tag, std::int32_t number, std::span<char, 16> room);

// Issues the header section with the point style (and the extents, when
// asked for and there are points), then the TABLES section (the LAYER table
// when layers are asked for), the BLOCKS section and the start of ENTITIES.
// A failing statement is reported; its number is returned should the report
// return.
int write_survey_head(std::int32_t unit, const SurveyChoices& choices, const SurveyPoints& points);

// The records of one point and of one label, their slots in the order the
// writer fills them: point (handle, layer when layers are asked for, x, y,
// z), label (handle, layer, x, y, z, name). Without layers the point's
// layer is a fixed record, as in the classic file.
class EntityPlans {
public:
    EntityPlans(const SurveyChoices& choices);
    const io::RecordPlan& point() const { return point_plan_; }
    const io::RecordPlan& label() const { return label_plan_; }

    // The point's slot values, in `room`.
    std::span<const io::ItemValue> point_values(std::array<io::ItemValue, 5>& room, std::int32_t position,
                                                std::string_view layer, const io::ItemValue& x,
                                                const io::ItemValue& y, const io::ItemValue& z) const {
        if (!layered_) {
            room = {io::ItemValue::of(position), x, y, z, z};
            return std::span{room}.first(4);
        }
        room = {io::ItemValue::of(position), io::ItemValue::of(layer), x, y, z};
        return room;
    }

private:
    bool layered_;
    std::string height_;
    std::array<io::PlannedRecord, 12> point_records_;
    std::array<io::PlannedRecord, 16> label_records_;
    io::RecordPlan point_plan_;
    io::RecordPlan label_plan_;
};

}  // namespace app
