// Writes the whole drawing of a run from its plan and its points: header,
// tables, blocks, entities, end.
#pragma once

#include <cstdint>
#include <memory>

#include "app/linework/linework.h"
#include "app/point_store.h"
#include "app/run_plan.h"
#include "app/text/code_page.h"

namespace app {

class ProgressLine;

// Writes a run's drawing. Everything the writing needs memory for (the
// layer names as written, the entity plans, room for the longest text) is
// made when it is made, before the output is opened: running out of memory
// never leaves a drawing half written.
class DrawingWriter {
public:
    // `linework`, when given and enabled, adds the lines after the points
    // (or in their place, when only lines are wanted).
    DrawingWriter(const RunPlan& plan, const PointStore& store, const Linework* linework = nullptr);
    ~DrawingWriter();
    DrawingWriter(const DrawingWriter&) = delete;
    DrawingWriter& operator=(const DrawingWriter&) = delete;

    // How many records each point's entities take, for the progress line.
    std::uint32_t records_per_point() const;

    // Issues the drawing's write statements on `unit`. A failing statement is
    // reported (a severe report ends the run); should a report return, the
    // writing stops there and its number is returned. 0 otherwise. Each
    // record is one step of `progress`, when given.
    int write(std::int32_t unit, ProgressLine* progress = nullptr);

private:
    struct Parts;
    RunPlan plan_;  // its coordinate field resolved for the points read
    const PointStore& store_;
    const Linework* linework_;
    text::CodePage page_;
    std::unique_ptr<Parts> parts_;
};

// The same in one step, for a drawing made where its memory may be had at once.
int write_drawing(std::int32_t unit, const RunPlan& plan, const PointStore& store, ProgressLine* progress = nullptr,
                  const Linework* linework = nullptr);

}  // namespace app
