// Standard containers on the platform heap. Running out of memory there is
// the run's numbered end (41, with the unit pass), never an exception: the
// program is built without them, and a container's growth must end the same
// way as any other allocation. Tests reach these allocations through the
// platform's failure seam.
#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/memory.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace io {

template <class T>
struct PlatformAllocator {
    using value_type = T;

    PlatformAllocator() = default;
    template <class U>
    constexpr PlatformAllocator(const PlatformAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        void* block = n > static_cast<std::size_t>(-1) / sizeof(T) ? nullptr : platform::heap_allocate(n * sizeof(T));
        // A severe report does not return.
        if (block == nullptr) rt::report_error(err::kNoMemory, 0);
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) noexcept { platform::heap_release(block); }

    template <class U>
    bool operator==(const PlatformAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using PlatformVector = std::vector<T, PlatformAllocator<T>>;

template <class Key, class Value, class Hash = std::hash<Key>, class Equal = std::equal_to<Key>>
using PlatformMap = std::unordered_map<Key, Value, Hash, Equal, PlatformAllocator<std::pair<const Key, Value>>>;

}  // namespace io
