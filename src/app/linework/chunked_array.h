// An array that grows by fixed chunks: nothing is copied as it grows, so its
// peak is what it holds plus one part-filled chunk, where a doubling vector
// holds up to three times its contents while it moves them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace app::linework {

template <typename T, unsigned kChunkShift = 12>
class ChunkedArray {
public:
    static constexpr std::size_t kChunk = std::size_t{1} << kChunkShift;

    std::size_t size() const { return size_; }

    void push_back(const T& value) {
        if (size_ == chunks_.size() * kChunk) chunks_.push_back(std::make_unique_for_overwrite<T[]>(kChunk));
        (*this)[size_++] = value;
    }
    T& operator[](std::size_t i) { return chunks_[i >> kChunkShift][i & (kChunk - 1)]; }
    const T& operator[](std::size_t i) const { return chunks_[i >> kChunkShift][i & (kChunk - 1)]; }

    // Drops the elements from `n` on, and the chunks left empty.
    void shrink_to(std::size_t n) {
        size_ = n;
        chunks_.resize((n + kChunk - 1) >> kChunkShift);
    }

    std::size_t bytes_held() const {
        return chunks_.size() * kChunk * sizeof(T) + chunks_.capacity() * sizeof(chunks_[0]);
    }

private:
    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t size_ = 0;
};

}  // namespace app::linework
