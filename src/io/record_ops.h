// The record operations on a connection that a statement already holds
// (ConnectedUnit): the read and write statements and records.h share them.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "io/io_result.h"
#include "io/scan/record_source.h"
#include "io/unit_connection.h"
#include "reporting/error_numbers.h"

namespace io {

// Makes the line [start, end) of the buffer the current record. Every read
// of this program is free-form: every CR before an LF delimiter is dropped.
inline IoResult finish_record(UnitConnection& connection, std::size_t start, std::size_t end) {
    std::string_view record;
    const std::string_view line(connection.buffer.data() + start, end - start);
    const int number = cut_record(line, connection.terminator != TerminatorKind::cr, true, record);
    connection.record_start = connection.next_position = start;
    connection.record_end = start + record.size();
    return {number, number != 0 ? connection.unit : 0};
}

IoResult refill_and_read(UnitConnection& connection);

// Makes the next record current. Inline: it runs once per input line.
inline IoResult read_record(UnitConnection& connection) {
    // Most records are already among the bytes read ahead.
    if (connection.read_ahead_count > 0) {
        const char* buffer = connection.buffer.data();
        const char* from = buffer + connection.read_ahead_start;
        if (const void* found = std::memchr(from, record_delimiter(connection.terminator), connection.read_ahead_count)) {
            const std::size_t start = connection.read_ahead_start;
            const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - buffer);
            connection.read_ahead_count -= end + 1 - start;
            connection.read_ahead_start = end + 1;
            return finish_record(connection, start, end);
        }
    }
    return refill_and_read(connection);
}

// Grows the output record so that `needed` characters fit from the next
// position on (more than fit now); fails with 66 when the record length is
// fixed or memory runs out.
IoResult extend_record(UnitConnection& connection, std::size_t needed);

// Makes room for `bytes` more characters of the output record from the next
// position on, growing it when short.
inline IoResult reserve_record_room(UnitConnection& connection, std::size_t bytes) {
    if (bytes <= connection.record_end - connection.next_position) return {};
    return extend_record(connection, bytes);
}

// Puts the terminator behind the record's last character; returns where the
// record's bytes end. The buffer must have kTerminatorRoom bytes there.
inline std::size_t place_terminator(UnitConnection& connection) {
    const std::string_view terminator = terminator_bytes(connection.terminator);
    char* end = connection.buffer.data() + connection.next_position;
    end[0] = terminator[0];
    if (terminator.size() == 2) end[1] = terminator[1];
    return connection.next_position + terminator.size();
}

// Hands the buffer's bytes [from, to) to the file in pieces of at most the
// block size value, stopping at the first failure.
IoResult write_through(const UnitConnection& connection, std::size_t from, std::size_t to);

IoResult write_record_out(UnitConnection& connection);

// Ends the output record. Inline for the buffered record that stays in the
// buffer, which needs no system call; everything else goes out of line.
inline IoResult write_record(UnitConnection& connection) {
    const std::size_t room_end = connection.next_position + kTerminatorRoom;
    if (connection.buffered && !connection.truncate_at_next_record && room_end <= connection.buffer.size() &&
        room_end + 2 * connection.record_area_size < connection.buffer.size()) {
        const std::size_t record_stop = place_terminator(connection);
        connection.pending_output_end = connection.record_start = connection.next_position = record_stop;
        connection.record_end = record_stop + connection.record_area_size;
        return {};
    }
    return write_record_out(connection);
}

}  // namespace io
