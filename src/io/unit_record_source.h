// Input records of a connected unit, for the free-form scanner.
#pragma once

#include <cstdint>

#include "io/io_result.h"
#include "io/scan/record_source.h"

namespace io {

class UnitRecordSource final : public RecordSource {
public:
    explicit UnitRecordSource(std::int32_t unit) : unit_{unit} {}

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
    std::int32_t unit_;
    // The scanner passes only numbers on; the system code of a failed fetch
    // stays here for the end of the statement. A failed fetch ends its
    // statement, so the last one is the one that counts.
    IoResult last_failure_;
};

}  // namespace io
