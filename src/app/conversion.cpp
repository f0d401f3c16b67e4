#include "app/conversion.h"

#include <algorithm>
#include <cstdint>

#include "app/conversion_units.h"
#include "app/point_list_reader.h"
#include "app/point_set.h"
#include "app/progress.h"
#include "app/write_dxf.h"
#include "io/array_storage.h"
#include "reporting/report.h"

namespace app {
namespace {

constexpr std::uint32_t kRecordsPerPoint = 12;

// Allocation failures carry no unit; they are severe and end the run.
void allocate(io::ArrayStorage& storage, std::int32_t count) {
    if (const int number = io::allocate_array(storage, count); number != 0) rt::report_error(number, 0);
}

// Every element is 0.0 before any is read. Fresh pages are zero already and
// stay untouched, so memory grows with the points actually read.
void zero_fill(const io::ArrayStorage& storage) {
    if (!storage.zeroed) std::fill_n(storage.base, storage.extent, 0.0f);
}

}  // namespace

void run_conversion(const ConversionFiles& files) {
    prepare_conversion();

    // The points belong to the whole run: the arrays go with the process.
    static PointSet points;
    // Kept for the run too: a report from another thread may still clear it.
    static ProgressLine progress{
        progress_wanted(files.input == kStandardStreamName, files.output == kStandardStreamName)};

    connect_input(files.input, files.input_must_exist ? platform::Missing::fail : platform::Missing::create);
    {
        PointListReader input(kInputUnit);
        input.read_count(points);

        allocate(points.x, points.count);
        allocate(points.y, points.count);
        allocate(points.z, points.count);
        zero_fill(points.x);
        zero_fill(points.y);
        zero_fill(points.z);

        const std::int32_t count = points.count;  // the bound is taken once
        progress.begin(Phase::reading, count, 1);
        // A count this large was refused by the allocation, so i cannot overflow.
        for (std::int32_t i = 1; i <= count; ++i) {
            input.read_point(points, i);
            progress.step();
        }
    }
    disconnect_unit(kInputUnit);

    // The output is touched only after the whole input has been read.
    connect_output(files.output);
    progress.begin(Phase::writing, points.count, kRecordsPerPoint);
    write_dxf(kOutputUnit, points, &progress);
    disconnect_unit(kOutputUnit);
    progress.end();
}

}  // namespace app
