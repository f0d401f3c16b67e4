#include "io/array_storage.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "platform/memory.h"
#include "reporting/error_numbers.h"

namespace io {

namespace {

constexpr std::uint64_t kPageBackedFrom = 16u << 20;  // 16 MiB
// An array of no elements gets this address: not null, never dereferenced.
constexpr std::uintptr_t kEmptyArrayAddress = 256;

template <class Storage>
int allocate_elements(Storage& storage, std::int32_t count) {
    using Element = std::remove_pointer_t<decltype(storage.base)>;
    const std::int32_t n = std::max(count, 0);
    storage.extent = n;

    // The byte size must fit in 32 bits; checked in 64 before any memory is asked for.
    const std::uint64_t bytes = static_cast<std::uint64_t>(n) * sizeof(Element);
    if ((bytes >> 32) != 0) return err::kArraySizeOverflow;
    if (bytes == 0) {
        storage.base = reinterpret_cast<Element*>(kEmptyArrayAddress);
        return 0;
    }
    const bool page_backed = bytes >= kPageBackedFrom;
    void* block = page_backed ? platform::pages_allocate(bytes) : platform::heap_allocate(bytes);
    if (block == nullptr) return err::kNoMemory;
    storage.base = static_cast<Element*>(block);
    storage.zeroed = page_backed;
    return 0;
}

}  // namespace

int allocate_array(ArrayStorage& storage, std::int32_t count) { return allocate_elements(storage, count); }
int allocate_array(WideArrayStorage& storage, std::int32_t count) { return allocate_elements(storage, count); }

}  // namespace io
