// The read statements of the point list on the input unit.
#pragma once

#include <cstdint>

#include "app/point_set.h"

namespace app {

// One statement with the single integer item: the count.
void read_point_count(std::int32_t unit, PointSet& points);
// One statement with the three real items x(i), y(i), z(i).
void read_point(std::int32_t unit, PointSet& points, std::int32_t i);

}  // namespace app
