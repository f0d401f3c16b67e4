#include "io/unit_record_source.h"

#include "io/record_ops.h"
#include "io/unit_table.h"
#include "reporting/error_numbers.h"

namespace io {

int UnitRecordSource::next_record(std::string_view& record) {
    const ConnectedUnit held{unit_};
    last_failure_ = held ? read_record(*held, true) : IoResult{err::kOpenFailure, unit_};
    if (last_failure_.ok()) record = held->record();
    return last_failure_.number;
}

}  // namespace io
