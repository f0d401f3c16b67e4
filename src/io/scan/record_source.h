// Where the free-form scanner takes its records from.
#pragma once

#include <string_view>

namespace io {

// Hands out input records one at a time, without their terminators.
class RecordSource {
public:
    // Makes the next record current. Returns 0, 24 at end of file, or the
    // record reader's own error number. The view stays valid until the next call.
    virtual int next_record(std::string_view& record) = 0;

protected:
    ~RecordSource() = default;
};

}  // namespace io
