#include "io/unit_record_source.h"

#include "io/read_write_record.h"
#include "io/unit_table.h"
#include "reporting/error_numbers.h"

namespace io {

UnitRecordSource::UnitRecordSource(std::int32_t unit) : unit_{unit}, slot_{find_slot(unit)} {}

int UnitRecordSource::next_record(std::string_view& record) {
    {
        const ConnectedUnit held{slot_};
        if (held) [[likely]] {
            if (const std::optional<IoResult> result = read_record_nearby(*held)) [[likely]] return take(*result, &*held, record);
        }
    }
    // Out of line, so that the common case above needs no call at all.
    return next_record_searching(record);
}

int UnitRecordSource::next_record_searching(std::string_view& record) {
    const ConnectedUnit held{slot_};
    if (!held) return take({err::kOpenFailure, unit_}, nullptr, record);
    return take(read_record(*held), &*held, record);
}

}  // namespace io
