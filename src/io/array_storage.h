// Storage for the coordinate arrays, sized at run time.
#pragma once

#include <cstdint>

namespace io {

struct ArrayStorage {
    float* base = nullptr;  // element i lies at base + (i - 1)
    std::int32_t extent = 0;
    // The memory came from the system already zeroed: writing zeros again
    // would only make every page of it resident.
    bool zeroed = false;
};

// The same for coordinates held in double precision.
struct WideArrayStorage {
    double* base = nullptr;
    std::int32_t extent = 0;
    bool zeroed = false;
};

// Storage for max(count, 0) elements of 4 bytes, not initialised beyond what
// `zeroed` says. Returns 0, 179 when the byte size does not fit in 32 bits,
// 41 when no memory.
int allocate_array(ArrayStorage& storage, std::int32_t count);
// Elements of 8 bytes, under the same rules.
int allocate_array(WideArrayStorage& storage, std::int32_t count);

}  // namespace io
