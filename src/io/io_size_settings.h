// The I/O size settings, taken from the environment once per process.
#pragma once

#include <cstdint>

namespace io {

inline constexpr std::int32_t kSettingUnset = -1;  // the variable is not set
inline constexpr std::int32_t kSettingBad = -2;    // set, but not a valid value

struct IoSizeSettings {
    std::int32_t block_size = kSettingUnset;               // FORT_BLOCKSIZE, a multiple of 512
    std::int32_t buffer_count = kSettingUnset;             // FORT_BUFFERCOUNT
    std::int32_t formatted_record_length = kSettingUnset;  // FORT_FMT_RECL
};

inline constexpr std::int32_t kLargestBlockSize = 2147467264;
inline constexpr std::int32_t kLargestBufferCount = 127;

// A decimal integer from `low` to `high`, or kSettingUnset for a missing
// value, or kSettingBad (an empty value too). Text of any length is safe.
std::int32_t parse_size_setting(const char* text, std::int32_t low, std::int32_t high);

// The settings from the variables' values (each may be null).
IoSizeSettings parse_io_size_settings(const char* block_size, const char* buffer_count,
                                      const char* formatted_record_length);

// Reads the variables now and keeps them for the process; start-up calls it once.
void read_io_size_settings();
// The kept settings; read on first use when start-up has not read them.
IoSizeSettings io_size_settings();

}  // namespace io
