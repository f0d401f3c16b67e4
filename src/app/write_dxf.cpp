#include "app/write_dxf.h"

#include <span>

#include "app/progress.h"
#include "io/statement.h"
#include "io/write_field.h"

namespace app {

int write_records(std::int32_t unit, std::span<const DxfRecord> records, ProgressLine* progress) {
    for (const DxfRecord& record : records) {
        const int number = io::finish_statement(io::write_field(unit, record.spec, record.value));
        if (progress != nullptr) progress->step();
        if (number != 0) return number;
    }
    return 0;
}

int write_dxf(std::int32_t unit, const PointSet& points, ProgressLine* progress) {
    if (const int number = write_records(unit, dxf_records::header, progress); number != 0) return number;
    // The points go as plans, the header and trailer as single statements:
    // a plan formats a point's fixed records once for the whole file and
    // issues its twelve records as one statement, the same bytes and system
    // writes as twelve write_field calls for a little over half the processor
    // time (bench/point_plan_bench.cpp). The 38 records around the points are
    // too few to be worth a plan of their own.
    const io::RecordPlan plan{dxf_records::point};
    for (std::int32_t i = 1; i <= points.count; ++i) {
        const auto values = dxf_records::point_values(points, i);
        const int number = io::finish_statement(io::write_plan(unit, plan, values));
        if (progress != nullptr) progress->step(std::size(dxf_records::point));
        if (number != 0) return number;
    }
    return write_records(unit, dxf_records::trailer, progress);
}

}  // namespace app
