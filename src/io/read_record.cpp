#include "io/read_write_record.h"

#include <cstring>

#include "reporting/error_numbers.h"

namespace io {

namespace {

// The record is not among the bytes read ahead: the unfinished record moves
// to the buffer start and the buffer is filled behind it.
IoResult refill_and_read(UnitConnection& connection) {
    const char delimiter = record_delimiter(connection.terminator);
    std::size_t filled = connection.read_ahead_count;
    if (filled > 0) std::memmove(connection.buffer.data(), connection.buffer.data() + connection.read_ahead_start, filled);
    connection.read_ahead_start = 0;
    connection.read_ahead_count = filled;
    for (;;) {
        if (filled == connection.buffer.size() && !connection.buffer.resize(2 * connection.buffer.size())) {
            return {err::kNoBufferMemory, connection.unit};
        }
        const auto got = platform::read_file(connection.handle, {connection.buffer.data() + filled, connection.buffer.size() - filled});
        if (got.error != 0) {
            if (platform::categorize(got.error) == platform::ErrorCategory::end_of_file) return {err::kEndOfFile, connection.unit};
            return {err::kReadError, connection.unit, got.error};
        }
        if (got.bytes == 0) {
            // End of file: a last line without a terminator is still a record.
            if (filled == 0) return {err::kEndOfFile, connection.unit};
            connection.read_ahead_count = 0;
            return finish_record(connection, 0, filled);
        }
        // A short read is not taken as the end of the file: pipes and
        // terminals deliver lines piecemeal. Only a read of nothing ends it.
        const char* fresh = connection.buffer.data() + filled;
        const void* found = std::memchr(fresh, delimiter, got.bytes);
        filled += got.bytes;
        connection.read_ahead_count = filled;
        if (found != nullptr) {
            const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - connection.buffer.data());
            connection.read_ahead_start = end + 1;
            connection.read_ahead_count = filled - (end + 1);
            return finish_record(connection, 0, end);
        }
    }
}

}  // namespace

IoResult read_record(UnitConnection& connection) {
    if (const std::optional<IoResult> nearby = read_record_nearby(connection)) return *nearby;
    connection.forget_line_ends();  // the read-ahead start moves on here
    // A long line, or one near the buffer's end: the library's search.
    if (connection.read_ahead_count > 0) {
        const char* buffer = connection.buffer.data();
        const std::size_t start = connection.read_ahead_start;
        if (const void* found = std::memchr(buffer + start, record_delimiter(connection.terminator), connection.read_ahead_count)) {
            const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - buffer);
            connection.read_ahead_count -= end + 1 - start;
            connection.read_ahead_start = end + 1;
            return finish_record(connection, start, end);
        }
    }
    return refill_and_read(connection);
}

}  // namespace io
