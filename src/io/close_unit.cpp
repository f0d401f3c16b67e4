#include "reporting/error_numbers.h"
#include "io/records.h"
#include "io/unit_table.h"
#include "reporting/report.h"

namespace io {

namespace {

// Closes a connected unit. A failing close still disconnects; the connection
// is then kept, unconnected, so that the report can name the file.
int close_slot(UnitSlot& slot) {
    UnitConnection& connection = *slot.connection;
    int number = 0;
    if (connection.pending_output_end > 0) {
        const auto written = platform::write_file(connection.handle, {connection.buffer.data(), connection.pending_output_end});
        connection.pending_output_end = 0;
        if (written.error != 0) {
            connection.last_system_error = written.error;
            number = err::kCloseError;
        }
    }
    if (const platform::SystemError code = platform::close_file(connection.handle); code != 0) {
        connection.last_system_error = code;
        number = err::kCloseError;
    }
    connection.handle = platform::kNoFile;
    connection.connected = false;
    connection.buffer.release();
    if (number == 0) slot.connection.reset();
    return number;
}

}  // namespace

int close_unit(std::int32_t unit) {
    UnitSlot* slot = find_slot(unit);
    if (slot == nullptr || !slot->connection || !slot->connection->connected) return 0;
    const BusyMark busy{*slot};
    return close_slot(*slot);
}

int close_all_units() {
    int failed = 0;
    for_each_slot([&failed](UnitSlot& slot) {
        // A unit in the middle of a statement is left alone.
        if (slot.busy.load(std::memory_order_acquire) || !slot.connection || !slot.connection->connected) return true;
        const std::int32_t unit = slot.connection->unit;
        int number;
        {
            const BusyMark busy{slot};
            number = close_slot(slot);
        }
        if (number == 0) return true;
        // Close errors are severe: the report ends the process here, and the
        // remaining units are not visited.
        rt::report_error(number, 2, static_cast<int>(unit), slot.connection->file_name.data());
        slot.connection.reset();
        failed = number;
        return false;
    });
    return failed;
}

}  // namespace io
