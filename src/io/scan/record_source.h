// Where the free-form scanner takes its records from, and how a line of input
// becomes a record.
#pragma once

#include <cstddef>
#include <string_view>

#include "reporting/error_numbers.h"

namespace io {

// Ctrl-Z alone on a line ends the input.
inline constexpr char kEndOfFileMark = 0x1A;

// Cuts a line, its delimiter already gone, to its record: with an LF
// delimiter one CR before it belongs to the line end, and a free-form read
// drops every further CR there too. Returns 24 for the end-of-file mark.
// Every reader of records cuts its lines here, so all of them agree.
constexpr int cut_record(std::string_view line, bool lf_delimited, bool free_form, std::string_view& record) {
    std::size_t n = line.size();
    if (lf_delimited && n > 0 && line[n - 1] == '\r') {
        --n;
        while (free_form && n > 0 && line[n - 1] == '\r') --n;
    }
    record = line.substr(0, n);
    return n == 1 && record[0] == kEndOfFileMark ? err::kEndOfFile : 0;
}

// Hands out input records one at a time, cut by cut_record for a free-form read.
class RecordSource {
public:
    // Makes the next record current. Returns 0, 24 at end of file, or the
    // record reader's own error number. The view stays valid until the next call.
    virtual int next_record(std::string_view& record) = 0;

protected:
    ~RecordSource() = default;
};

}  // namespace io
