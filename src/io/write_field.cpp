#include "io/write_field.h"

#include "io/record_ops.h"
#include "io/unit_table.h"
#include "reporting/error_numbers.h"

namespace io {

IoResult write_field(std::int32_t unit, const FieldSpec& spec, const ItemValue& value) {
    const ConnectedUnit held{unit};
    if (!held) return {err::kOpenFailure, unit};
    UnitConnection& connection = *held;
    if (connection.read_only) return {err::kWriteToReadOnly, unit};

    // A new record: the field's first character is the record's first.
    connection.next_position = connection.record_start;
    if (value.type == ItemType::string && spec.kind != FieldKind::string) return {err::kTypeMismatch, unit};
    if (const IoResult room = reserve_record_room(connection, field_room(spec, value)); !room.ok()) return room;

    char* at = connection.buffer.data() + connection.next_position;
    const FieldText text = format_field(spec, value, {at, connection.record_end - connection.next_position});
    if (text.status == FieldStatus::type_mismatch) return {err::kTypeMismatch, unit};
    connection.next_position += text.length;

    return write_record(connection);
}

}  // namespace io
