// The DXF point file: its record sequence and the write statements that
// issue it, one value and one field per record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "app/point_set.h"
#include "io/format/field_format.h"
#include "io/record_plan.h"

namespace app {

// One record of the file: one value under one field description.
struct DxfRecord {
    io::FieldSpec spec;
    io::ItemValue value;
};

namespace dxf_records {

constexpr DxfRecord code(std::int32_t group) { return {io::field::I3, io::ItemValue::of(group)}; }
constexpr DxfRecord text(std::string_view s) { return {io::field::A, io::ItemValue::of(s)}; }

inline constexpr DxfRecord header[] = {
    code(0), text("SECTION"), code(2), text("HEADER"),
    code(9), text("$ACADVER"), code(1), text("AC1009"),
    code(9), text("$PDMODE"), code(70), {io::field::I6, io::ItemValue::of(35)},
    // The display size is the integer 0 under a real field: its bits are
    // those of 0.0, so the record reads "0.0".
    code(9), text("$PDSIZE"), code(40), {io::field::F3_1, io::ItemValue::of(0)},
    code(0), text("ENDSEC"),
    code(0), text("SECTION"), code(2), text("TABLES"), code(0), text("ENDSEC"),
    code(0), text("SECTION"), code(2), text("BLOCKS"), code(0), text("ENDSEC"),
    code(0), text("SECTION"), code(2), text("ENTITIES"),
};
static_assert(std::size(header) == 34);

inline constexpr DxfRecord trailer[] = {code(0), text("ENDSEC"), code(0), text("EOF")};

constexpr io::PlannedRecord fixed(const DxfRecord& record) { return io::PlannedRecord::fixed(record.spec, record.value); }
constexpr io::PlannedRecord slot(const io::FieldSpec& spec) { return io::PlannedRecord::slot(spec); }

// The records of one point; its handle (its position in the list, in
// decimal) and its coordinates fill the slots.
inline constexpr io::PlannedRecord point[] = {
    fixed(code(0)), fixed(text("POINT")),
    fixed(code(5)), slot(io::field::I0),
    fixed(code(8)), fixed({io::field::I1, io::ItemValue::of(0)}),
    fixed(code(10)), slot(io::field::F0_1),
    fixed(code(20)), slot(io::field::F0_1),
    fixed(code(30)), slot(io::field::F0_1),
};
static_assert(std::size(point) == 12);

// The values of point i's slots, in order.
inline std::array<io::ItemValue, 4> point_values(const PointSet& points, std::int32_t i) {
    return {io::ItemValue::of(i), io::ItemValue::of(points.x_at(i)), io::ItemValue::of(points.y_at(i)),
            io::ItemValue::of(points.z_at(i))};
}

}  // namespace dxf_records

class ProgressLine;

// Issues the file's write statements on `unit`, each point's twelve as one
// plan. A failing statement is reported (a severe report ends the run);
// should a report return, the writing stops there and its number is
// returned. 0 otherwise. Each record is one step of `progress`, when given.
int write_dxf(std::int32_t unit, const PointSet& points, ProgressLine* progress = nullptr);

// Each record as a statement of its own; 0, or the number of the first
// failure a report let through. The progress line, if any, steps per record.
int write_records(std::int32_t unit, std::span<const DxfRecord> records, ProgressLine* progress = nullptr);

}  // namespace app
