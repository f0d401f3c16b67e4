#include "platform/byte_match.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace {

// The bits a plain loop gives.
std::uint64_t bits_by_loop(const std::array<char, 64>& block, char byte) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < block.size(); ++i)
        if (block[i] == byte) bits |= std::uint64_t{1} << i;
    return bits;
}

TEST(MatchBits, EveryPositionAndByteValue) {
    // Bytes at the block's ends and at the edges of its 16-byte parts, and
    // values with the high bit set, which compare as negative chars.
    const char bytes[] = {'\n', '\r', '\0', static_cast<char>(0x80), static_cast<char>(0xFF), 'a'};
    for (const char byte : bytes) {
        for (const std::initializer_list<std::size_t> positions :
             {std::initializer_list<std::size_t>{}, {0}, {63}, {15, 16}, {31, 32, 47, 48}, {0, 1, 2, 62, 63}}) {
            std::array<char, 64> block;
            block.fill(byte == 'x' ? 'y' : 'x');
            for (const std::size_t at : positions) block[at] = byte;
            EXPECT_EQ(platform::match_bits(block.data(), byte), bits_by_loop(block, byte)) << +byte;
        }
        std::array<char, 64> all;
        all.fill(byte);
        EXPECT_EQ(platform::match_bits(all.data(), byte), ~std::uint64_t{0});
    }
}

TEST(MatchBits, UnalignedBlocks) {
    std::array<char, 80> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = i % 7 == 0 ? '\n' : 'z';
    for (std::size_t offset = 0; offset < 16; ++offset) {
        std::array<char, 64> block;
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = bytes[offset + i];
        EXPECT_EQ(platform::match_bits(bytes.data() + offset, '\n'), bits_by_loop(block, '\n')) << offset;
    }
}

}  // namespace
