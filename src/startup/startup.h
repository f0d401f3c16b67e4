// Start-up and termination around the conversion driver.
#pragma once

#include "reporting/report.h"

namespace rt {

using Driver = void (*)();

// The program's main routine: initialises the run-time layer, runs `driver`
// inside the protected region, then terminates. Returns the exit status.
int process_entry(int argc, char** argv, Driver driver, UnitPass unit_pass);

}  // namespace rt
