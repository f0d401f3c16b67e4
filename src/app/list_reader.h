// The count-first point list, read through the free-form statements: the
// count, the arrays allocated by it, then one statement of three coordinates
// per point. A failing statement ends the run through the reporter.
#pragma once

#include <cstdint>

#include "app/point_store.h"
#include "app/progress.h"

namespace app {

// Reads the list on `unit` into `store` (allocated by the count), after
// `skip` lines that go unread. The store's precision says whether the
// coordinates are read as single or double items.
void read_point_list(std::int32_t unit, std::uint32_t skip, PointStore& store, ProgressLine& progress);

}  // namespace app
