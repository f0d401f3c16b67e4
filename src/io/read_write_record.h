// The record operations on a connection that a statement already holds
// (ConnectedUnit): the read and write statements and open_close_unit.h share them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <optional>

#include "io/io_result.h"
#include "io/scan/record_source.h"
#include "io/unit_connection.h"
#include "platform/byte_match.h"
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

// The delimiters among the bytes read ahead in the 64-byte block at buffer
// offset `block`; none when the block is not all in the buffer or holds no
// byte read ahead.
inline std::uint64_t delimiters_in_block(const UnitConnection& connection, std::size_t block) {
    const std::size_t limit = connection.read_ahead_start + connection.read_ahead_count;
    if (block >= limit || block + platform::kMatchBlock > connection.buffer.size()) return 0;
    std::uint64_t ends = platform::match_bits(connection.buffer.data() + block, record_delimiter(connection.terminator));
    // Bytes past those read ahead are stale.
    if (limit - block < platform::kMatchBlock) ends &= (std::uint64_t{1} << (limit - block)) - 1;
    return ends;
}

// Makes the next record current when its delimiter lies in the 64-byte block
// of the buffer that holds the record's start, or in the block after; nothing
// otherwise. Inline and without a call: it runs once per input line. A
// block's delimiters are found once, and each line takes the lowest left, so
// that finding a line's end waits on little more than the line before.
[[gnu::always_inline]] inline std::optional<IoResult> read_record_nearby(UnitConnection& connection) {
    std::size_t block = connection.line_ends_block;
    std::uint64_t ends = connection.line_ends;
    if (ends == 0) {
        const std::size_t start = connection.read_ahead_start;
        const std::size_t first = start & ~(platform::kMatchBlock - 1);
        // The block holding the start, unless that is the one just used up.
        block = first == block ? first + platform::kMatchBlock : first;
        ends = delimiters_in_block(connection, block);
        if (block < start) ends &= ~std::uint64_t{0} << (start - block);
        if (ends == 0 && block == first) {
            block += platform::kMatchBlock;
            ends = delimiters_in_block(connection, block);
        }
        if (ends == 0) {
            connection.forget_line_ends();
            return std::nullopt;
        }
    }
    const std::size_t end = block + static_cast<std::size_t>(std::countr_zero(ends));
    connection.line_ends_block = block;
    connection.line_ends = ends & (ends - 1);
    const std::size_t start = connection.read_ahead_start;
    connection.read_ahead_count -= end + 1 - start;
    connection.read_ahead_start = end + 1;
    return finish_record(connection, start, end);
}

// Makes the next record current: from the bytes read ahead, or after
// reading more when they hold no delimiter.
IoResult read_record(UnitConnection& connection);

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

// A write of whole records that failed after `gone` of its bytes went out
// (`code`: its error): a file on disk is cut back to where the write began,
// so that it ends on whole records. Returns `number` with the write's code,
// or with the cut's when the cut fails too.
IoResult take_back_torn_write(const UnitConnection& connection, std::size_t gone, platform::SystemError code, int number);

// Hands the buffer's bytes [from, to), whole records, to the file in pieces
// of at most the block size value, stopping at the first failure.
IoResult write_in_pieces(const UnitConnection& connection, std::size_t from, std::size_t to);

// The same; inline for the usual single piece, which the default mode pays
// once per record.
inline IoResult write_through(const UnitConnection& connection, std::size_t from, std::size_t to) {
    if (to - from > connection.block_size_value) return write_in_pieces(connection, from, to);
    const platform::TransferResult written = platform::write_file(connection.handle, {connection.buffer.data() + from, to - from});
    if (written.error != 0) [[unlikely]] return take_back_torn_write(connection, written.bytes, written.error, err::kWriteError);
    return {};
}

IoResult write_record_out(UnitConnection& connection);

// Ends the output record. Inline for the buffered record that stays in the
// buffer, which needs no system call; everything else goes out of line.
inline IoResult write_record(UnitConnection& connection) {
    connection.forget_line_ends();  // the record's bytes may lie where input was read ahead
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
