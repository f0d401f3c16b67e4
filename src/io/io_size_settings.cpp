#include "io/io_size_settings.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace io {

std::int32_t parse_size_setting(const char* text, std::int32_t low, std::int32_t high) {
    if (text == nullptr) return kSettingUnset;
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // No digits, an empty value included, is text that does not convert.
    if (*p == '\0') return kSettingBad;
    // Saturate instead of overflowing: any value past `high` is bad anyway.
    std::int64_t value = 0;
    for (; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return kSettingBad;
        if (value <= high) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    return value < low || value > high ? kSettingBad : static_cast<std::int32_t>(value);
}

IoSizeSettings parse_io_size_settings(const char* block_size, const char* buffer_count,
                                      const char* formatted_record_length) {
    constexpr std::int32_t kAnyLength = 2147483647;
    IoSizeSettings settings;
    settings.block_size = parse_size_setting(block_size, 0, kLargestBlockSize);
    if (settings.block_size > 0) settings.block_size = (settings.block_size + 511) & ~511;  // stays in range
    settings.buffer_count = parse_size_setting(buffer_count, 0, kLargestBufferCount);
    settings.formatted_record_length = parse_size_setting(formatted_record_length, 0, kAnyLength);
    return settings;
}

namespace {

std::mutex settings_lock;
std::atomic<bool> settings_read{false};
IoSizeSettings settings;

}  // namespace

void read_io_size_settings() {
    const std::lock_guard guard{settings_lock};
    settings = parse_io_size_settings(std::getenv("FORT_BLOCKSIZE"), std::getenv("FORT_BUFFERCOUNT"),
                                      std::getenv("FORT_FMT_RECL"));
    settings_read.store(true, std::memory_order_release);
}

IoSizeSettings io_size_settings() {
    if (!settings_read.load(std::memory_order_acquire)) read_io_size_settings();
    const std::lock_guard guard{settings_lock};
    return settings;
}

}  // namespace io
