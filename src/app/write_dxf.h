// The DXF point file: its record sequence and the write statements that
// issue it, one value and one field per record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "app/point_set.h"
#include "io/format/field_format.h"

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

}  // namespace dxf_records

// Hands every record of the file to `emit` in order: the header, 12 records
// per point (none when the count is below 1), the trailer. Stops at the first
// record for which `emit` returns false.
template <class Emit>
bool each_dxf_record(const PointSet& points, Emit&& emit) {
    using dxf_records::code;
    using dxf_records::text;
    for (const auto& record : dxf_records::header)
        if (!emit(record)) return false;
    // The records every point shares are made once, not per point.
    static constexpr DxfRecord entity[] = {code(0), text("POINT"), code(5)};
    static constexpr DxfRecord layer[] = {code(8), {io::field::I1, io::ItemValue::of(0)}};
    static constexpr DxfRecord axis_code[] = {code(10), code(20), code(30)};
    for (std::int32_t i = 1; i <= points.count; ++i) {
        for (const auto& record : entity)
            if (!emit(record)) return false;
        // The handle is the point's position in the list, in decimal.
        if (!emit(DxfRecord{io::field::I0, io::ItemValue::of(i)})) return false;
        for (const auto& record : layer)
            if (!emit(record)) return false;
        const float coordinates[] = {points.x_at(i), points.y_at(i), points.z_at(i)};
        for (std::size_t k = 0; k < 3; ++k) {
            if (!emit(axis_code[k])) return false;
            if (!emit(DxfRecord{io::field::F0_1, io::ItemValue::of(coordinates[k])})) return false;
        }
    }
    for (const auto& record : dxf_records::trailer)
        if (!emit(record)) return false;
    return true;
}

class ProgressLine;

// Issues the file's write statements on `unit`. A failing statement is
// reported (a severe report ends the run); should a report return, the
// writing stops there and its number is returned. 0 otherwise. Each record
// is one step of `progress`, when given.
int write_dxf(std::int32_t unit, const PointSet& points, ProgressLine* progress = nullptr);

}  // namespace app
