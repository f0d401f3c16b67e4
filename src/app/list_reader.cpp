#include "app/list_reader.h"

#include <algorithm>

#include "io/scan/value_scanner.h"
#include "io/statement.h"
#include "io/unit_record_source.h"
#include "reporting/report.h"

namespace app {
namespace {

class ListStatements {
public:
    explicit ListStatements(std::int32_t unit) : records_(unit) {}

    // The first `lines` records go unread.
    void skip(std::uint32_t lines) {
        for (std::uint32_t k = 0; k < lines; ++k) {
            std::string_view record;
            if (const int number = records_.next_record(record); number != 0)
                io::finish_statement(records_.failure(number));
        }
    }

    template <class... Items>
    void statement(Items&... items) {
        // After a failure the reporter let through, the statement is over.
        const auto step = [this](int number) {
            return number == 0 || io::finish_statement(records_.failure(number)) == 0;
        };
        if (step(scanner_.begin_statement(records_))) (step(scanner_.read_item(items)) && ...);
        scanner_.end_statement();
    }

private:
    io::UnitRecordSource records_;
    io::ValueScanner scanner_;  // one for all statements: its string buffer is reused
};

template <class Real>
void read_points(ListStatements& input, const PointStore& store, std::int32_t count, ProgressLine& progress) {
    // A count this large was refused by the allocation, so i cannot overflow.
    for (std::int32_t i = 1; i <= count; ++i) {
        input.statement(store.x_at<Real>(i), store.y_at<Real>(i), store.z_at<Real>(i));
        progress.step();
    }
}

}  // namespace

void read_point_list(std::int32_t unit, std::uint32_t skip, PointStore& store, ProgressLine& progress) {
    ListStatements input(unit);
    input.skip(skip);
    // No value, or a null one, leaves no count: no point.
    std::int32_t count = 0;
    input.statement(count);
    // Allocation failures carry no unit; they are severe and end the run.
    if (const int number = store.allocate_counted(count); number != 0) rt::report_error(number, 0);

    const std::int32_t bound = count;  // the bound is taken once
    progress.begin(Phase::reading, std::max(bound, 0), 1);
    if (store.precision() == Precision::single) read_points<float>(input, store, bound, progress);
    else read_points<double>(input, store, bound, progress);
}

}  // namespace app
