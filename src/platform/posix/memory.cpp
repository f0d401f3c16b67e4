#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace platform {

// malloc's alignment (16 on x86-64) covers the 4 bytes the arrays need.
void* heap_allocate(std::size_t bytes) { return std::malloc(bytes == 0 ? 1 : bytes); }

void* heap_reallocate(void* block, std::size_t bytes) { return std::realloc(block, bytes == 0 ? 1 : bytes); }

void heap_release(void* block) { std::free(block); }

void* pages_allocate(std::size_t bytes) {
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void pages_release(void* block, std::size_t bytes) {
    if (block != nullptr) ::munmap(block, bytes);
}

}  // namespace platform
