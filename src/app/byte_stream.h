// Bytes appended one after the other and read back in the same order, in
// fixed blocks on the platform heap: memory grows with what is kept and never
// holds two copies while it grows. A failed allocation is a result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/platform_allocator.h"

namespace app {

class BlockChain {
public:
    explicit BlockChain(std::size_t block_bytes) : block_bytes_(block_bytes) {}
    BlockChain(const BlockChain&) = delete;
    BlockChain& operator=(const BlockChain&) = delete;
    ~BlockChain();

    std::size_t block_bytes() const { return block_bytes_; }
    std::size_t blocks() const { return blocks_.size(); }
    std::byte* block(std::size_t k) const { return blocks_[k]; }
    // A new block at the end; nullptr when memory runs out.
    std::byte* add_block();

private:
    std::size_t block_bytes_;
    io::PlatformVector<std::byte*> blocks_;
};

class ByteStream {
public:
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    ByteStream() : chain_(kBlockBytes) {}

    bool append(std::string_view bytes);
    // An unsigned number in 7-bit groups, low first: one byte below 128.
    bool append_count(std::uint32_t n);
    // A length and the bytes.
    bool append_text(std::string_view text) {
        return append_count(static_cast<std::uint32_t>(text.size())) && append(text);
    }

    class Reader {
    public:
        explicit Reader(const ByteStream& stream) : stream_(&stream) {}
        std::uint32_t count();
        // `length` bytes, in place, or copied into `scratch` (room for
        // `length` bytes) when they straddle two blocks.
        std::string_view bytes(std::size_t length, io::PlatformVector<char>& scratch);
        std::string_view text(io::PlatformVector<char>& scratch) { return bytes(count(), scratch); }

    private:
        unsigned char next();
        const ByteStream* stream_;
        std::size_t block_ = 0;
        std::size_t offset_ = 0;
    };

private:
    BlockChain chain_;
    std::size_t used_in_last_ = kBlockBytes;  // the last block is full: the next byte needs one
};

}  // namespace app
