// Input records of a connected unit, for the free-form scanner.
#pragma once

#include <cstdint>

#include "io/scan/record_source.h"

namespace io {

class UnitRecordSource final : public RecordSource {
public:
    explicit UnitRecordSource(std::int32_t unit) : unit_{unit} {}

    // The unit's next record, every CR before its end dropped; 0, 24 or the
    // record reader's error number.
    int next_record(std::string_view& record) override;

private:
    std::int32_t unit_;
};

}  // namespace io
