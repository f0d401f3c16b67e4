// The conversion driver: "input.txt" in, "3dpoint.dxf" out, or the files
// the command line names.
#pragma once

#include <string_view>

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

// Reads the whole point list, then writes the whole DXF file. Every failure
// ends the run through the reporter; it returns only after a complete run.
void run_conversion(const ConversionFiles& files = {});

}  // namespace app
