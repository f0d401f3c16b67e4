// The characters of each code page a drawing can declare, as compact tables
// generated once from Python's codecs (scripts/generate_code_pages.py), so
// that both systems write the same bytes without asking the OS.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace app::text {

inline constexpr std::size_t kCodePageCount = 14;
// Two-byte characters: a lead byte from 0x81, a trail byte in this range.
inline constexpr unsigned kFirstTrail = 0x40;
inline constexpr unsigned kTrailCount = 0xFE - kFirstTrail + 1;
inline constexpr std::uint16_t kLeadByte = 0xFFFF;
inline constexpr std::uint8_t kNoRow = 0xFF;

struct CodePageTable {
    // The character of byte 0x80 + i: 0 where that byte is none, kLeadByte
    // where it begins a two-byte character.
    std::span<const std::uint16_t, 128> high;
    // Two-byte pages only: the row in `cells` of lead byte 0x80 + i (kNoRow
    // for none), and rows of kTrailCount characters, 0 where a pair is none.
    std::span<const std::uint8_t> lead_rows;
    std::span<const std::uint16_t> cells;
    // The bytes of every character the page holds (and reads back as
    // itself), in the order of the characters: one byte as itself, two as
    // lead * 256 + trail. A character with two spellings has the one
    // Python's encoder writes.
    std::span<const std::uint16_t> bytes;
};

// In the order the drawing's code page is chosen (see CodePage).
extern const std::array<CodePageTable, kCodePageCount> kCodePageTables;

}  // namespace app::text
