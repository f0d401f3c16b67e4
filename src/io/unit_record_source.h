// Input records of a connected unit, for the free-form scanner.
#pragma once

#include <cstdint>

#include "io/io_result.h"
#include "io/unit_connection.h"
#include "io/scan/record_source.h"

namespace io {

struct UnitSlot;

class UnitRecordSource final : public RecordSource {
public:
    explicit UnitRecordSource(std::int32_t unit);

    // The unit's next input record, without its terminator and the CRs
    // before it; valid until the next operation on the unit. 0, 24 or the
    // record reader's error number.
    int next_record(std::string_view& record) override;

    // The failure that ends a statement with `number`: the last failed
    // fetch's own, system code included, when the number came from there;
    // the scanner's otherwise.
    IoResult failure(int number) const {
        return number == last_failure_.number ? last_failure_ : IoResult{number, unit_};
    }

private:
    int next_record_searching(std::string_view& record);
    // The fetch's number; the connection's record when it is 0.
    int take(const IoResult& result, const UnitConnection* connection, std::string_view& record) {
        if (result.ok()) [[likely]] {
            record = connection->record();
            return 0;
        }
        last_failure_ = result;
        return result.number;
    }

    std::int32_t unit_;
    UnitSlot* slot_;  // the unit's slot in the table, looked up once
    // The scanner passes only numbers on; the system code of a failed fetch
    // stays here for the end of the statement. A failed fetch ends its
    // statement, so the last one is the one that counts.
    IoResult last_failure_;
};

}  // namespace io
