// The points between reading and writing.
#pragma once

#include <cstdint>

#include "io/array_storage.h"

namespace app {

struct PointSet {
    std::int32_t count = 0;  // as read; may be zero or negative
    io::ArrayStorage x;
    io::ArrayStorage y;
    io::ArrayStorage z;

    // 1-based, as the point list numbers them.
    float& x_at(std::int32_t i) const { return x.base[i - 1]; }
    float& y_at(std::int32_t i) const { return y.base[i - 1]; }
    float& z_at(std::int32_t i) const { return z.base[i - 1]; }
};

}  // namespace app
