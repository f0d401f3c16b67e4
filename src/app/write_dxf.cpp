#include "app/write_dxf.h"

#include "app/progress.h"
#include "io/statement.h"
#include "io/write_field.h"

namespace app {

int write_dxf(std::int32_t unit, const PointSet& points, ProgressLine* progress) {
    int number = 0;
    each_dxf_record(points, [&](const DxfRecord& record) {
        number = io::finish_statement(io::write_field(unit, record.spec, record.value));
        if (progress != nullptr) progress->step();
        return number == 0;
    });
    return number;
}

}  // namespace app
