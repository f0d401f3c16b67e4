#include "io/open_close_unit.h"

#include "io/read_write_record.h"
#include "io/unit_table.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace io {

namespace {

// Closes a connected unit. A failing close still disconnects; the connection
// is then kept, unconnected, so that the report can name the file. With
// `keep_heap` (a fault's unit pass, which may run where the allocator was
// interrupted) the buffer and the connection stay allocated.
IoResult close_slot(UnitSlot& slot, bool keep_heap = false) {
    UnitConnection& connection = *slot.connection;
    IoResult result;
    if (connection.pending_output_end > 0) {
        const auto written = platform::write_file(connection.handle, {connection.buffer.data(), connection.pending_output_end});
        connection.pending_output_end = 0;
        if (written.error != 0) result = take_back_torn_write(connection, written.bytes, written.error, err::kCloseError);
    }
    if (const platform::SystemError code = platform::close_file(connection.handle); code != 0) {
        result = {err::kCloseError, connection.unit, code};
    }
    connection.handle = platform::kNoFile;
    connection.connected = false;
    if (keep_heap) return result;
    connection.buffer.release();
    if (result.ok()) slot.connection.reset();
    return result;
}

}  // namespace

IoResult close_unit(std::int32_t unit) {
    const ConnectedUnit held{unit};
    if (!held) return {};
    return close_slot(held.slot());
}

int close_all_units() {
    const bool keep_heap = rt::unit_pass_on_fault_path();
    for (UnitSlot& slot : unit_slots) {
        // A unit in the middle of a statement is left alone.
        if (slot.busy.load(std::memory_order_acquire) || !slot.connection || !slot.connection->connected) continue;
        IoResult result;
        {
            const BusyMark busy{&slot};
            result = close_slot(slot, keep_heap);
        }
        if (result.ok()) continue;
        // Close errors are severe: the report ends the process here, and the
        // remaining units are not visited.
        rt::report_error(result.number, 2, static_cast<int>(result.unit), slot.connection->file_name.data());
        if (!keep_heap) slot.connection.reset();
        return result.number;
    }
    return 0;
}

}  // namespace io
