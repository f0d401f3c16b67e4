#include "io/write_field.h"

#include "reporting/error_numbers.h"
#include "io/record_ops.h"
#include "io/unit_table.h"

namespace io {

int write_field(std::int32_t unit, const FieldSpec& spec, const ItemValue& value) {
    UnitSlot* slot = find_slot(unit);
    if (slot == nullptr || !slot->connection || !slot->connection->connected) return err::kOpenFailure;
    UnitConnection& connection = *slot->connection;
    if (connection.read_only) return err::kWriteToReadOnly;
    const BusyMark busy{*slot};

    // A new record: the field's first character is the record's first.
    connection.next_position = connection.record_start;
    if (value.type == ItemType::string && spec.kind != FieldKind::string) return err::kTypeMismatch;
    if (const int number = reserve_record_room(connection, field_room(spec, value)); number != 0) return number;

    char* at = connection.buffer.data() + connection.next_position;
    const FieldText text = format_field(spec, value, {at, connection.record_end - connection.next_position});
    if (text.status == FieldStatus::type_mismatch) return err::kTypeMismatch;
    connection.next_position += text.length;

    if (const int number = write_record(connection); number != 0) return number;
    ++connection.records_written;
    return 0;
}

}  // namespace io
