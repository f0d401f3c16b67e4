// Where one byte value lies within a block of 64 bytes, found with the
// processor's vector compare where the target has one. The record reader
// finds line ends this way: a few lines at a time, without a call per line.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

inline constexpr std::size_t kMatchBlock = 64;

// Bit i is set when block[i] == byte. Reads all 64 bytes of the block.
inline std::uint64_t match_bits(const char* block, char byte) {
#if defined(__SSE2__)
    const __m128i pattern = _mm_set1_epi8(byte);
    // Bits of one 16-byte part, moved to its place.
    const auto part = [&](int k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, pattern))))
               << (16 * k);
    };
    return part(0) | part(1) | part(2) | part(3);
#else
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < kMatchBlock; ++i) bits |= static_cast<std::uint64_t>(block[i] == byte) << i;
    return bits;
#endif
}

}  // namespace platform
