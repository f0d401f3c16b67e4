#include "io/write_field.h"

#include <cstring>

#include "io/heap_block.h"
#include "io/read_write_record.h"
#include "io/unit_table.h"
#include "reporting/error_numbers.h"

namespace io {

namespace {

// A scratch field this wide lives on the stack; a wider one (F0.d with a
// large d) is allocated for the statement.
constexpr std::size_t kStackScratch = 64;

// A minimal-width field whose scratch width does not fit in the record: it
// is formatted off the record, and only its text needs the record's room.
// Kept out of line: its scratch must not weigh on every statement's frame.
[[gnu::noinline]] IoResult write_minimal_field(UnitConnection& connection, const FieldSpec& spec, const ItemValue& value,
                             std::size_t scratch_width) {
    char stack_scratch[kStackScratch];
    HeapBlock heap_scratch;
    char* scratch = stack_scratch;
    if (scratch_width > kStackScratch) {
        if (!heap_scratch.allocate(scratch_width)) return {err::kNoMemory, connection.unit};
        scratch = heap_scratch.data();
    }
    const FieldText text = format_field(spec, value, {scratch, scratch_width});
    if (text.status == FieldStatus::type_mismatch) return {err::kTypeMismatch, connection.unit};
    if (const IoResult room = reserve_record_room(connection, text.length); !room.ok()) return room;
    std::memcpy(connection.buffer.data() + connection.next_position, scratch, text.length);
    connection.next_position += text.length;
    return write_record(connection);
}

}  // namespace

IoResult write_field(std::int32_t unit, const FieldSpec& spec, const ItemValue& value) {
    const ConnectedUnit held{unit};
    if (!held) return {err::kOpenFailure, unit};
    UnitConnection& connection = *held;
    if (connection.read_only) return {err::kWriteToReadOnly, unit};

    // A new record: the field's first character is the record's first.
    connection.next_position = connection.record_start;
    if (value.type == ItemType::string && spec.kind != FieldKind::string) return {err::kTypeMismatch, unit};
    // Usually the record has room for the whole field: the text is formatted
    // straight into it.
    const std::size_t room = field_room(spec, value);
    if (room > connection.record_end - connection.next_position) [[unlikely]] {
        if (spec.kind != FieldKind::string && spec.width == 0) return write_minimal_field(connection, spec, value, room);
        if (const IoResult grown = extend_record(connection, room); !grown.ok()) return grown;
    }

    char* at = connection.buffer.data() + connection.next_position;
    const FieldText text = format_field(spec, value, {at, connection.record_end - connection.next_position});
    if (text.status == FieldStatus::type_mismatch) return {err::kTypeMismatch, unit};
    connection.next_position += text.length;
    return write_record(connection);
}

}  // namespace io
