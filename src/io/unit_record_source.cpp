#include "io/unit_record_source.h"

#include "reporting/error_numbers.h"
#include "io/record_ops.h"
#include "io/unit_table.h"

namespace io {

int UnitRecordSource::next_record(std::string_view& record) {
    UnitSlot* slot = find_slot(unit_);
    if (slot == nullptr || !slot->connection || !slot->connection->connected) return err::kOpenFailure;
    const BusyMark busy{*slot};
    const int number = read_record(*slot->connection, true);
    if (number == 0) record = slot->connection->record();
    return number;
}

}  // namespace io
