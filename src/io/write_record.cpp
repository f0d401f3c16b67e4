#include <algorithm>
#include <cstring>

#include "reporting/error_numbers.h"
#include "io/record_ops.h"
#include "io/records.h"
#include "io/unit_table.h"

namespace io {

namespace {

// Hands bytes to the file in pieces of at most the block size value,
// stopping at the first failure.
int write_through(UnitConnection& connection, std::size_t from, std::size_t to) {
    const char* bytes = connection.buffer.data();
    while (from < to) {
        const std::size_t piece = std::min(to - from, connection.block_size_value);
        const auto written = platform::write_file(connection.handle, {bytes + from, piece});
        if (written.error != 0) {
            connection.last_system_error = written.error;
            return err::kWriteError;
        }
        from += piece;
    }
    return 0;
}

// Grows the buffer by `bytes`, moving nothing: positions are offsets.
bool grow_buffer(UnitConnection& connection, std::size_t bytes) {
    return connection.buffer.resize(connection.buffer.size() + bytes);
}

}  // namespace

int extend_record(UnitConnection& connection, std::size_t bytes) {
    // A record length given by FORT_FMT_RECL is a hard limit.
    if (!connection.record_length_defaulted) return err::kRecordOverflow;
    const std::size_t new_end = connection.record_end + bytes;
    if (new_end > connection.buffer.size() && !grow_buffer(connection, bytes)) return err::kRecordOverflow;
    std::memset(connection.buffer.data() + connection.next_position, ' ', new_end - connection.next_position);
    connection.record_end = new_end;
    connection.record_area_size += bytes;
    return 0;
}

// The larger of the shortfall, 512 bytes and an eighth of the record area.
int extend_record_by_shortfall(UnitConnection& connection, std::size_t bytes) {
    const std::size_t left = connection.record_end - connection.next_position;
    return extend_record(connection, std::max({bytes - left, std::size_t{512}, connection.record_area_size / 8}));
}

int write_record_out(UnitConnection& connection) {
    const std::size_t length = connection.next_position - connection.record_start;

    // Room for the terminator behind the record. This grows the buffer, not
    // the record, so it is no record overflow unless memory runs out.
    const std::size_t needed = connection.record_start + length + kTerminatorRoom;
    if (needed > connection.buffer.size() && !grow_buffer(connection, std::max<std::size_t>(512, needed - connection.buffer.size())) &&
        !grow_buffer(connection, needed - connection.buffer.size())) {
        return err::kRecordOverflow;
    }
    const std::size_t record_stop = place_terminator(connection);

    // The cut comes before the first record goes out, at the file's first
    // byte: the file then ends up with exactly the records written, as with a
    // cut behind the first record, and a cut that fails leaves the old file
    // whole instead of the first record over the old file's head.
    int number = 0;
    if (connection.truncate_at_next_record) {
        connection.truncate_at_next_record = false;
        if (const platform::SystemError code = platform::truncate_here(connection.handle); code != 0) {
            connection.last_system_error = code;
            number = err::kWriteError;
        }
    }

    if (number != 0) {
        // The record is dropped with the failed statement.
    } else if (!connection.buffered) {
        number = write_through(connection, connection.record_start, record_stop);
    } else if (record_stop + 2 * connection.record_area_size < connection.buffer.size()) {
        connection.pending_output_end = record_stop;  // kept; the next record goes behind it
    } else {
        number = write_through(connection, 0, record_stop);
        // Bytes that could not be written are not offered again at close.
        connection.pending_output_end = 0;
    }

    connection.record_start = connection.next_position = connection.pending_output_end;
    connection.record_end = connection.record_start + connection.record_area_size;
    return number;
}

namespace {

UnitSlot* connected_slot(std::int32_t unit) {
    UnitSlot* slot = find_slot(unit);
    return slot != nullptr && slot->connection && slot->connection->connected ? slot : nullptr;
}

}  // namespace

int extend_record(std::int32_t unit, std::size_t bytes) {
    UnitSlot* slot = connected_slot(unit);
    if (slot == nullptr) return err::kOpenFailure;
    const BusyMark busy{*slot};
    return extend_record(*slot->connection, bytes);
}

int write_record(std::int32_t unit) {
    UnitSlot* slot = connected_slot(unit);
    if (slot == nullptr) return err::kOpenFailure;
    const BusyMark busy{*slot};
    return write_record(*slot->connection);
}

}  // namespace io
