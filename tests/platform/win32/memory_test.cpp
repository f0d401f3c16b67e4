#include "platform/memory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "platform/testing.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;

// The arrays from 16 MiB on come from the system's pages, committed: every
// byte can be written at once.
TEST(Pages, CommittedAndAligned) {
    constexpr std::size_t bytes = 16u << 20;
    auto* block = static_cast<unsigned char*>(platform::pages_allocate(bytes));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(::VirtualQuery(block, &info, sizeof info), 0u);
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT));
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READWRITE));
    std::memset(block, 0xA5, bytes);
    EXPECT_EQ(block[bytes - 1], 0xA5);
    platform::pages_release(block, bytes);
}

// More than a 32-bit address space can give is refused, not a crash later.
TEST(Pages, HopelessRequestsAreRefused) {
    EXPECT_EQ(platform::pages_allocate(0xFFFF0000u), nullptr);
    EXPECT_EQ(platform::heap_allocate(0xFFFF0000u), nullptr);
}

TEST(Heap, AllocateGrowRelease) {
    auto* block = static_cast<char*>(platform::heap_reallocate(nullptr, 10));  // the first size allocates
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4, 0u);
    std::memcpy(block, "0123456789", 10);
    block = static_cast<char*>(platform::heap_reallocate(block, 100000));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "0123456789", 10), 0);
    platform::heap_release(block);
    platform::heap_release(nullptr);
    void* empty = platform::heap_allocate(0);
    EXPECT_NE(empty, nullptr);
    platform::heap_release(empty);
}

TEST(FailureSeam, HeapAndPagesFailOnRequest) {
    {
        const ScopedSyscallFailure no_heap{Syscall::heap, 1, platform::ErrorCategory::out_of_memory};
        EXPECT_EQ(platform::heap_allocate(16), nullptr);
        void* block = platform::heap_allocate(16);
        EXPECT_NE(block, nullptr);
        platform::heap_release(block);
    }
    {
        const ScopedSyscallFailure no_pages{Syscall::pages, 1, platform::ErrorCategory::out_of_memory};
        EXPECT_EQ(platform::pages_allocate(16u << 20), nullptr);
    }
}

}  // namespace
