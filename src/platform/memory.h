// Heap blocks and page-backed blocks.
#pragma once

#include <cstddef>

namespace platform {

// Heap: at least 4-byte aligned; null when no memory.
void* heap_allocate(std::size_t bytes);
void* heap_reallocate(void* block, std::size_t bytes);
void heap_release(void* block);

// Page-backed, committed, readable and writable, page aligned, zero-filled by
// the system; null when no memory.
void* pages_allocate(std::size_t bytes);
void pages_release(void* block, std::size_t bytes);

}  // namespace platform
