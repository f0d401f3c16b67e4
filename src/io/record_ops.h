// The record operations on a connection already looked up; the unit-number
// entry points of records.h and the statements share them.
#pragma once

#include <cstddef>

#include "io/unit_connection.h"

namespace io {

// `free_form`: the reader drops every CR before the delimiter, not just one.
int read_record(UnitConnection& connection, bool free_form);
int extend_record(UnitConnection& connection, std::size_t bytes);
int write_record(UnitConnection& connection);

int extend_record_by_shortfall(UnitConnection& connection, std::size_t bytes);

// Makes room for `bytes` more characters of the output record from the next
// position on, growing it with extend_record when short; 0 or 66.
inline int reserve_record_room(UnitConnection& connection, std::size_t bytes) {
    if (bytes <= connection.record_end - connection.next_position) return 0;
    return extend_record_by_shortfall(connection, bytes);
}

}  // namespace io
