// The read statements of the point list on the input unit.
#pragma once

#include <cstdint>

#include "app/point_set.h"
#include "io/unit_record_source.h"
#include "io/scan/value_scanner.h"

namespace app {

// Issues the point list's free-form read statements on one unit. A failing
// statement ends the run through the reporter.
class PointListReader {
public:
    explicit PointListReader(std::int32_t unit) : records_(unit) {}

    // One statement with the single integer item: the count.
    void read_count(PointSet& points);
    // One statement with the three real items x(i), y(i), z(i).
    void read_point(PointSet& points, std::int32_t i);

private:
    template <class... Items>
    void statement(Items&... items);

    io::UnitRecordSource records_;
    io::ValueScanner scanner_;  // one for all statements: its string buffer is reused
};

}  // namespace app
