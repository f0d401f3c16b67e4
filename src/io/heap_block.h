// An owned block of heap memory that can grow; null when empty or when
// memory ran out. Failure is a return value, never an exception.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/memory.h"

namespace io {

class HeapBlock {
public:
    HeapBlock() = default;
    ~HeapBlock() { platform::heap_release(data_); }
    HeapBlock(HeapBlock&& other) noexcept
        : data_{std::exchange(other.data_, nullptr)}, size_{std::exchange(other.size_, 0)} {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        return *this;
    }

    // Replaces the contents with a fresh block of `bytes`; false when no memory.
    bool allocate(std::size_t bytes) {
        void* block = platform::heap_allocate(bytes);
        if (block == nullptr) return false;
        platform::heap_release(data_);
        data_ = static_cast<char*>(block);
        size_ = bytes;
        return true;
    }

    // Grows or shrinks to `bytes`, keeping the contents; unchanged and false when no memory.
    bool resize(std::size_t bytes) {
        void* block = platform::heap_reallocate(data_, bytes);
        if (block == nullptr) return false;
        data_ = static_cast<char*>(block);
        size_ = bytes;
        return true;
    }

    void release() {
        platform::heap_release(std::exchange(data_, nullptr));
        size_ = 0;
    }

    char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace io
