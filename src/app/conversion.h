// The conversion driver: "input.txt" in, "3dpoint.dxf" out, or the files
// the command line names, as the run plan says.
#pragma once

#include <string_view>

#include "app/run_plan.h"

namespace app {

// The name that stands for standard input (as the input) or standard output
// (as the output).
inline constexpr std::string_view kStandardStreamName = "-";

struct ConversionFiles {
    std::string_view input = "input.txt";
    std::string_view output = "3dpoint.dxf";
    // The classic run creates a missing input.txt empty, as it always has; a
    // name the user typed that is not there is far more likely a typo than a
    // wish for an empty file, so a named input must exist.
    bool input_must_exist = false;
};

// Exit status of a point table refused for its content.
inline constexpr int kTableErrorStatus = 65;

// Reads the whole input into memory, then writes the whole drawing. A
// failure of the I/O layer ends the run through the reporter; a table line
// refused ends it with one line on standard error and kTableErrorStatus.
// Nothing is written before the whole input is read. Returns only after a
// complete run. The default plan is the classic run.
void run_conversion(const ConversionFiles& files = {}, const RunPlan& plan = {});

}  // namespace app
