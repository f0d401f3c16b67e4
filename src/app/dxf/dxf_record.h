// One record of a drawing: one value under one field description, written
// by one write statement. Group codes are right-aligned in three columns,
// texts take their own length.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "io/format/field_format.h"
#include "io/record_plan.h"

namespace app {

class ProgressLine;

namespace dxf {

struct Record {
    io::FieldSpec spec;
    io::ItemValue value;
};

constexpr Record code(std::int32_t group) { return {io::field::I3, io::ItemValue::of(group)}; }
constexpr Record text(std::string_view s) { return {io::field::A, io::ItemValue::of(s)}; }
constexpr Record integer(std::int32_t v) { return {io::field::I6, io::ItemValue::of(v)}; }

constexpr io::PlannedRecord fixed(const Record& record) { return io::PlannedRecord::fixed(record.spec, record.value); }
constexpr io::PlannedRecord slot(const io::FieldSpec& spec) { return io::PlannedRecord::slot(spec); }

// Issues records one statement each, in order, until one fails: its number
// is kept (should the report have returned) and nothing more is written.
// Each record is one step of the progress line, when there is one.
class RecordWriter {
public:
    RecordWriter(std::int32_t unit, ProgressLine* progress) : unit_(unit), progress_(progress) {}

    RecordWriter& operator()(const Record& record) { return all({&record, 1}); }
    RecordWriter& all(std::span<const Record> records);
    // The records of a plan as one issue, its slots filled by `values`.
    RecordWriter& plan(const io::RecordPlan& plan, std::span<const io::ItemValue> values);

    std::int32_t unit() const { return unit_; }
    int number() const { return number_; }

private:
    std::int32_t unit_;
    ProgressLine* progress_;
    int number_ = 0;
};

}  // namespace dxf
}  // namespace app
