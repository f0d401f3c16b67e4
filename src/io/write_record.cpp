#include "io/read_write_record.h"

#include <algorithm>
#include <cstring>

#include "reporting/error_numbers.h"

namespace io {

namespace {

// Grows the buffer by `bytes`, moving nothing: positions are offsets.
bool grow_buffer(UnitConnection& connection, std::size_t bytes) {
    return connection.buffer.resize(connection.buffer.size() + bytes);
}

}  // namespace

IoResult take_back_torn_write(const UnitConnection& connection, std::size_t gone, platform::SystemError code, int number) {
    // Nothing went out, or it went where nothing can be taken back (a pipe,
    // a terminal, a standard stream another program may share).
    if (gone == 0 || !connection.disk_file) return {number, connection.unit, code};
    const platform::SystemError cut = platform::cut_back(connection.handle, gone);
    return {number, connection.unit, cut != 0 ? cut : code};
}

IoResult write_in_pieces(const UnitConnection& connection, std::size_t from, std::size_t to) {
    const char* bytes = connection.buffer.data();
    // A piece may end inside a record: a failure takes back every piece.
    const std::size_t first = from;
    while (from < to) {
        const std::size_t piece = std::min(to - from, connection.block_size_value);
        const auto written = platform::write_file(connection.handle, {bytes + from, piece});
        if (written.error != 0) return take_back_torn_write(connection, from - first + written.bytes, written.error, err::kWriteError);
        from += piece;
    }
    return {};
}

IoResult extend_record(UnitConnection& connection, std::size_t needed) {
    // A record length given by FORT_FMT_RECL is a hard limit.
    if (!connection.record_length_defaulted) return {err::kRecordOverflow, connection.unit};
    // The larger of the shortfall, 512 bytes and an eighth of the record area.
    const std::size_t left = connection.record_end - connection.next_position;
    const std::size_t bytes = std::max({needed - left, std::size_t{512}, connection.record_area_size / 8});
    connection.forget_line_ends();  // the blanks may cover input read ahead
    const std::size_t new_end = connection.record_end + bytes;
    if (new_end > connection.buffer.size() && !grow_buffer(connection, bytes)) return {err::kRecordOverflow, connection.unit};
    std::memset(connection.buffer.data() + connection.next_position, ' ', new_end - connection.next_position);
    connection.record_end = new_end;
    connection.record_area_size += bytes;
    return {};
}

IoResult write_record_out(UnitConnection& connection) {
    connection.forget_line_ends();
    const std::size_t length = connection.next_position - connection.record_start;

    // Room for the terminator behind the record. This grows the buffer, not
    // the record, so it is no record overflow unless memory runs out.
    const std::size_t needed = connection.record_start + length + kTerminatorRoom;
    if (needed > connection.buffer.size() && !grow_buffer(connection, std::max<std::size_t>(512, needed - connection.buffer.size())) &&
        !grow_buffer(connection, needed - connection.buffer.size())) {
        return {err::kRecordOverflow, connection.unit};
    }
    const std::size_t record_stop = place_terminator(connection);

    // The cut comes before the first record goes out, at the file's first
    // byte: the file then ends up with exactly the records written, as with a
    // cut behind the first record, and a cut that fails leaves the old file
    // whole instead of the first record over the old file's head.
    IoResult result;
    if (connection.truncate_at_next_record) {
        connection.truncate_at_next_record = false;
        if (const platform::SystemError code = platform::truncate_here(connection.handle); code != 0) {
            result = {err::kWriteError, connection.unit, code};
        }
    }

    if (!result.ok()) {
        // The record is dropped with the failed statement.
    } else if (!connection.buffered) {
        result = write_through(connection, connection.record_start, record_stop);
    } else if (record_stop + 2 * connection.record_area_size < connection.buffer.size()) {
        connection.pending_output_end = record_stop;  // kept; the next record goes behind it
    } else {
        result = write_through(connection, 0, record_stop);
        // Bytes that could not be written are not offered again at close.
        connection.pending_output_end = 0;
    }

    connection.record_start = connection.next_position = connection.pending_output_end;
    connection.record_end = connection.record_start + connection.record_area_size;
    return result;
}

}  // namespace io
