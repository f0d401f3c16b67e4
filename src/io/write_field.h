// One formatted write statement: one field, one record. A fixed run of such
// statements repeated many times (a DXF file's points) goes faster as a
// RecordPlan (record_plan.h), which writes the same bytes.
#pragma once

#include <cstdint>

#include "io/format/field_format.h"
#include "io/io_result.h"

namespace io {

// Formats `value` under its field description into a new record of `unit`
// and writes the record. Fails with 47 (read-only), 61 (a string under a
// numeric field) or the record layer's own number.
IoResult write_field(std::int32_t unit, const FieldSpec& spec, const ItemValue& value);

}  // namespace io
