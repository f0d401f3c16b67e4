// The conversion driver: "input.txt" in, "3dpoint.dxf" out.
#pragma once

namespace app {

// Reads the whole point list, then writes the whole DXF file. Every failure
// ends the run through the reporter; it returns only after a complete run.
void run_conversion();

}  // namespace app
