#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdlib>

#include "platform/posix/syscalls.h"

namespace platform {

// malloc's alignment (16 on x86-64) covers the 4 bytes the arrays need.
void* heap_allocate(std::size_t bytes) { return posix::sys_malloc(bytes == 0 ? 1 : bytes); }

void* heap_reallocate(void* block, std::size_t bytes) { return posix::sys_realloc(block, bytes == 0 ? 1 : bytes); }

void heap_release(void* block) { std::free(block); }

// Plain anonymous pages, deliberately without MAP_NORESERVE: the kernel's
// commit accounting then refuses a request it can never back (a hopeless one
// under the default heuristic, any over-commit under strict accounting), so
// the caller gets "no memory" instead of being killed later. MAP_POPULATE is
// not used: it cannot make mmap fail, it only moves the page faults forward.
void* pages_allocate(std::size_t bytes) {
    void* block = posix::sys_mmap(bytes);
    return block == MAP_FAILED ? nullptr : block;
}

void pages_release(void* block, std::size_t bytes) {
    if (block != nullptr) ::munmap(block, bytes);
}

}  // namespace platform
