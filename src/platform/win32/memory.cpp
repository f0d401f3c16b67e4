#include "platform/memory.h"

#include <windows.h>

#include "platform/win32/syscalls.h"

namespace platform {

// The process heap aligns its blocks to 8 bytes on a 32-bit system, more
// than the 4 the arrays need.
void* heap_allocate(std::size_t bytes) { return win32::sys_heap_alloc(bytes == 0 ? 1 : bytes); }

// HeapReAlloc takes no null block: the first size of a block is an allocation.
void* heap_reallocate(void* block, std::size_t bytes) {
    if (block == nullptr) return heap_allocate(bytes);
    return win32::sys_heap_realloc(block, bytes == 0 ? 1 : bytes);
}

void heap_release(void* block) {
    if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

// Reserved and committed at once: VirtualAlloc refuses what the commit limit
// or the address space cannot hold, so "no memory" comes now, not at a later
// page fault.
void* pages_allocate(std::size_t bytes) { return win32::sys_virtual_alloc(bytes == 0 ? 1 : bytes); }

void pages_release(void* block, std::size_t /*bytes*/) {
    if (block != nullptr) ::VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace platform
