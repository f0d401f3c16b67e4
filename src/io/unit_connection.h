// The state of one connected unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/heap_block.h"
#include "io/terminator.h"
#include "platform/files.h"

namespace io {

inline constexpr std::int32_t kDefaultRecordLength = 132;
inline constexpr std::size_t kDefaultBlockSizeValue = 131072;  // largest piece of one write
inline constexpr std::size_t kDefaultBufferBlockSize = 8192;
// Room kept behind a record for its terminator.
inline constexpr std::size_t kTerminatorRoom = 4;

struct UnitConnection {
    std::int32_t unit = 0;
    bool connected = false;

    HeapBlock file_name;  // zero-terminated absolute path
    std::int16_t file_name_length = 0;

    platform::FileHandle handle = platform::kNoFile;

    bool read_only = false;
    bool disk_file = false;  // opened by name and on disk: a torn record can be taken back
    bool buffered = false;
    bool truncate_at_next_record = false;
    bool record_length_defaulted = true;  // only then may an output record grow
    TerminatorKind terminator = TerminatorKind::crlf;

    std::size_t record_area_size = 0;
    std::size_t block_size_value = kDefaultBlockSizeValue;

    // Positions below are offsets into the buffer, so that they survive its moves.
    HeapBlock buffer;
    std::size_t record_start = 0;
    std::size_t record_end = 0;
    std::size_t next_position = 0;
    std::size_t read_ahead_start = 0;
    std::size_t read_ahead_count = 0;
    std::size_t pending_output_end = 0;  // buffered output not yet written: [0, this)
    // The delimiters not yet taken in the 64-byte block at buffer offset
    // line_ends_block (bit i for the byte at line_ends_block + i), from the
    // read-ahead start on. Anything that moves the read-ahead start another
    // way, or changes the buffer's bytes, forgets them.
    static constexpr std::size_t kNoBlock = ~std::size_t{0};
    std::size_t line_ends_block = kNoBlock;
    std::uint64_t line_ends = 0;

    void forget_line_ends() {
        line_ends_block = kNoBlock;
        line_ends = 0;
    }

    std::string_view name() const {
        return file_name.data() == nullptr ? std::string_view{}
                                           : std::string_view{file_name.data(), static_cast<std::size_t>(file_name_length)};
    }
    // The current input record, without its terminator.
    std::string_view record() const { return {buffer.data() + record_start, record_end - record_start}; }
};

}  // namespace io
