#include "io/statement.h"

#include "io/records.h"
#include "io/unit_table.h"
#include "reporting/report.h"

namespace io {

namespace {

// A connection left unconnected by a failed open or close is kept only until
// its failure has been reported.
void discard_unconnected(std::int32_t unit) {
    UnitSlot* slot = find_slot(unit);
    if (slot != nullptr && slot->connection && !slot->connection->connected && !slot->busy.load()) {
        slot->connection.reset();
    }
}

void settle_unit(int disposition, std::int32_t unit) {
    UnitSlot* slot = find_slot(unit);
    if (slot == nullptr) return;
    switch (disposition) {
        case 1: slot->busy.store(false, std::memory_order_release); break;
        case 2:
            // Drop a half-made connection without writing anything.
            if (slot->connection) {
                if (slot->connection->handle != platform::kNoFile) platform::close_file(slot->connection->handle);
                slot->connection.reset();
            }
            slot->busy.store(false, std::memory_order_release);
            break;
        case 3: close_unit(unit); break;
        default: break;
    }
}

}  // namespace

int report_statement_failure(int number, std::int32_t unit) {
    rt::UnitErrorInfo info{unit, {}, 0};
    if (UnitConnection* connection = find_connection(unit)) {
        info.file_name = connection->name();
        info.saved_system_error = connection->last_system_error;
        connection->last_system_error = 0;  // shown once
    }
    const int result = rt::report_io_error(0, number, 0, info, settle_unit);
    discard_unconnected(unit);
    return result;
}

}  // namespace io
