#include "io/unit_record_source.h"

#include "io/record_ops.h"
#include "io/unit_table.h"
#include "reporting/error_numbers.h"

namespace io {

int UnitRecordSource::next_record(std::string_view& record) {
    const ConnectedUnit held{unit_};
    const IoResult result = held ? read_record(*held) : IoResult{err::kOpenFailure, unit_};
    if (result.ok()) [[likely]] {
        record = held->record();
        return 0;
    }
    last_failure_ = result;
    return result.number;
}

}  // namespace io
