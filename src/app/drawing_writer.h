// Writes the whole drawing of a run from its plan and its points: header,
// tables, blocks, entities, end.
#pragma once

#include <cstdint>

#include "app/linework/linework.h"
#include "app/point_store.h"
#include "app/run_plan.h"

namespace app {

class ProgressLine;

// How many records each point's entities take, for the progress line.
std::uint32_t records_per_point(const RunPlan& plan, const Linework* linework = nullptr);

// Issues the drawing's write statements on `unit`. A failing statement is
// reported (a severe report ends the run); should a report return, the
// writing stops there and its number is returned. 0 otherwise. Each record
// is one step of `progress`, when given.
// `linework`, when given and enabled, adds the lines after the points (or
// in their place, when only lines are wanted).
int write_drawing(std::int32_t unit, const RunPlan& plan, const PointStore& store, ProgressLine* progress = nullptr,
                  const Linework* linework = nullptr);

}  // namespace app
