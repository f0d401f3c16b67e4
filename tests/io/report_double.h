// What the stand-in reporter was asked to report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/report.h"

namespace test_support {

struct ReportedError {
    int number;
    std::int32_t unit;
    std::string file_name;
    std::uint32_t saved_system_error;
};

std::vector<ReportedError>& reported();

}  // namespace test_support
