#include "io/array_storage.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "reporting/error_numbers.h"
#include "platform/memory.h"
#include "platform/testing.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;

constexpr std::int32_t kLastHeapCount = 4194303;  // 16 MiB less one element

void release(const io::ArrayStorage& storage) {
    const std::size_t bytes = static_cast<std::size_t>(storage.extent) * 4;
    if (bytes >= (16u << 20)) {
        platform::pages_release(storage.base, bytes);
    } else {
        platform::heap_release(storage.base);
    }
}

TEST(AllocateArray, EmptyArraysTakeNoMemory) {
    // Every source of memory refuses, so any attempt to take some would show.
    const ScopedSyscallFailure no_heap{Syscall::heap, 1, platform::ErrorCategory::out_of_memory, true};
    for (const std::int32_t count : {0, -1, -2147483647 - 1}) {
        io::ArrayStorage storage;
        EXPECT_EQ(io::allocate_array(storage, count), 0) << count;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(storage.base), 256u);
        EXPECT_EQ(storage.extent, 0);
    }
}

TEST(AllocateArray, SizeOverflowIsRefusedBeforeAskingForMemory) {
    const ScopedSyscallFailure no_pages{Syscall::pages, 1, platform::ErrorCategory::out_of_memory, true};
    for (const std::int32_t count : {1073741824, 2147483647}) {
        io::ArrayStorage storage;
        EXPECT_EQ(io::allocate_array(storage, count), err::kArraySizeOverflow) << count;
        EXPECT_EQ(storage.base, nullptr);
    }
    // One element less fits in 32 bits: it goes to the pages, which refuse.
    io::ArrayStorage storage;
    EXPECT_EQ(io::allocate_array(storage, 1073741823), err::kNoMemory);
}

TEST(AllocateArray, SmallArraysFromTheHeapLargeOnesFromPages) {
    struct Case {
        std::int32_t count;
        Syscall source;
    };
    const Case cases[] = {{1, Syscall::heap}, {kLastHeapCount, Syscall::heap}, {kLastHeapCount + 1, Syscall::pages}};
    for (const Case& c : cases) {
        io::ArrayStorage storage;
        ASSERT_EQ(io::allocate_array(storage, c.count), 0) << c.count;
        EXPECT_EQ(storage.extent, c.count);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(storage.base) % 4, 0u);
        // Pages come zeroed from the system; heap blocks are not said to be.
        EXPECT_EQ(storage.zeroed, c.source == Syscall::pages) << c.count;
        if (storage.zeroed) {
            EXPECT_EQ(storage.base[0], 0.0f);
            EXPECT_EQ(storage.base[c.count - 1], 0.0f);
        }
        storage.base[c.count - 1] = 1.0f;  // the last element is there
        release(storage);
        // The same request fails with 41 exactly when its own source refuses.
        const ScopedSyscallFailure refuse{c.source, 1, platform::ErrorCategory::out_of_memory};
        io::ArrayStorage refused;
        EXPECT_EQ(io::allocate_array(refused, c.count), err::kNoMemory) << c.count;
    }
}

}  // namespace
