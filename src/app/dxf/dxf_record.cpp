#include "app/dxf/dxf_record.h"

#include "app/progress.h"
#include "io/statement.h"
#include "io/write_field.h"

namespace app::dxf {

RecordWriter& RecordWriter::all(std::span<const Record> records) {
    for (const Record& record : records) {
        if (number_ != 0) return *this;
        number_ = io::finish_statement(io::write_field(unit_, record.spec, record.value));
        if (progress_ != nullptr) progress_->step();
    }
    return *this;
}

RecordWriter& RecordWriter::plan(const io::RecordPlan& plan, std::span<const io::ItemValue> values) {
    if (number_ != 0) return *this;
    number_ = io::finish_statement(io::write_plan(unit_, plan, values));
    if (progress_ != nullptr) progress_->step(static_cast<std::uint32_t>(plan.records().size()));
    return *this;
}

}  // namespace app::dxf
