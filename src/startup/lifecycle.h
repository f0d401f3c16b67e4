// The steps of start-up and termination around the driver.
#pragma once

#include "reporting/report.h"

namespace rt {

// Initialises the layer once per process, under its lock; later calls find
// it initialised and return. (The optional parallel-images module is not
// probed, so the argument count and vector are not needed here.)
void runtime_init();

// Hands the reporter termination's unit pass: `pass` closes the units, and a
// number it returns without having reported it is an internal consistency
// failure (error 8, for_exit_handler).
void set_termination_unit_pass(UnitPass pass);

// Termination entry after the driver returns; returns the exit status.
int runtime_finish();

// Releases the fault context, runs the unit pass (once per process) and
// returns pending_exit_status.
int for_exit_handler();

}  // namespace rt
