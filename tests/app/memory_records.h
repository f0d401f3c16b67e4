// Records from memory, as a unit would hand them out, for the readers' tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/scan/record_source.h"
#include "reporting/error_numbers.h"

namespace test_support {

class MemoryRecords final : public io::RecordSource {
public:
    // `last`: what the source says after the last line (end of file, or a failure).
    explicit MemoryRecords(std::vector<std::string> lines, int last = err::kEndOfFile)
        : lines_(std::move(lines)), last_(last) {}
    int next_record(std::string_view& record) override {
        if (next_ == lines_.size()) return last_;
        record = lines_[next_++];
        return 0;
    }

private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    int last_;
};

}  // namespace test_support
