#include "io/unit_record_source.h"

#include "io/records.h"

namespace io {

int UnitRecordSource::next_record(std::string_view& record) {
    last_failure_ = read_record(unit_, record);
    return last_failure_.number;
}

}  // namespace io
