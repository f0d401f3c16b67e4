#include "app/byte_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/memory.h"

namespace app {

BlockChain::~BlockChain() {
    for (std::byte* block : blocks_) platform::heap_release(block);
}

std::byte* BlockChain::add_block() {
    // Room for the pointer first, so a block is never lost untracked.
    blocks_.reserve(blocks_.size() + 1);
    auto* block = static_cast<std::byte*>(platform::heap_allocate(block_bytes_));
    if (block != nullptr) blocks_.push_back(block);
    return block;
}

bool ByteStream::append(std::string_view bytes) {
    while (!bytes.empty()) {
        if (used_in_last_ == kBlockBytes) {
            if (chain_.add_block() == nullptr) return false;
            used_in_last_ = 0;
        }
        const std::size_t n = std::min(bytes.size(), kBlockBytes - used_in_last_);
        std::memcpy(chain_.block(chain_.blocks() - 1) + used_in_last_, bytes.data(), n);
        used_in_last_ += n;
        bytes.remove_prefix(n);
    }
    return true;
}

bool ByteStream::append_count(std::uint32_t n) {
    char groups[5];
    std::size_t k = 0;
    do {
        groups[k++] = static_cast<char>((n & 0x7f) | (n > 0x7f ? 0x80 : 0));
        n >>= 7;
    } while (n != 0);
    return append({groups, k});
}

unsigned char ByteStream::Reader::next() {
    if (offset_ == kBlockBytes) {
        ++block_;
        offset_ = 0;
    }
    return static_cast<unsigned char>(stream_->chain_.block(block_)[offset_++]);
}

std::uint32_t ByteStream::Reader::count() {
    std::uint32_t n = 0;
    for (unsigned shift = 0;; shift += 7) {
        const unsigned char b = next();
        n |= std::uint32_t{b & 0x7fu} << shift;
        if ((b & 0x80) == 0) return n;
    }
}

std::string_view ByteStream::Reader::bytes(std::size_t length, io::PlatformVector<char>& scratch) {
    if (offset_ == kBlockBytes && length > 0) {
        ++block_;
        offset_ = 0;
    }
    if (length <= kBlockBytes - offset_) {
        const auto* start = reinterpret_cast<const char*>(stream_->chain_.block(block_) + offset_);
        offset_ += length;
        return {start, length};
    }
    scratch.resize(length);
    for (std::size_t i = 0; i < length; ++i) scratch[i] = static_cast<char>(next());
    return {scratch.data(), length};
}

}  // namespace app
