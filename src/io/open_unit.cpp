#include "io/open_close_unit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

#include "io/io_settings.h"
#include "io/unit_table.h"
#include "platform/terminal.h"
#include "reporting/environment.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace io {

namespace {

constexpr std::size_t kLongestName = 256;

// The trimmed name: leading blanks skipped, trailing blanks and zero bytes dropped.
std::string_view trim_name(std::string_view name) {
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    name.remove_prefix(first);
    const std::size_t last = name.find_last_not_of(std::string_view{" \0", 2});
    return name.substr(0, last + 1);
}

bool keep_name(UnitConnection& connection, std::string_view name) {
    // The kept copy is what messages show; a name past the 16-bit count is cut there.
    const std::size_t length = std::min<std::size_t>(name.size(), 32767);
    if (!connection.file_name.allocate(length + 1)) return false;
    if (length > 0) std::memcpy(connection.file_name.data(), name.data(), length);
    connection.file_name.data()[length] = '\0';
    connection.file_name_length = static_cast<std::int16_t>(length);
    return true;
}

int open_failure_number(platform::ErrorCategory category) {
    using platform::ErrorCategory;
    switch (category) {
        case ErrorCategory::file_not_found:
        case ErrorCategory::path_not_found: return err::kFileNotFound;
        case ErrorCategory::invalid_name:
        case ErrorCategory::name_too_long: return err::kFileNameError;
        case ErrorCategory::already_exists: return err::kCannotOverwrite;
        case ErrorCategory::access_denied:
        case ErrorCategory::write_protected: return err::kPermissionDenied;
        case ErrorCategory::bad_unit: return err::kNoSuchDevice;
        default: return err::kOpenFailure;
    }
}

// The read-write open, then the one read-only retry the failure allows.
IoResult open_file(UnitConnection& connection, platform::Missing missing, bool& disk_file) {
    using platform::Access;
    using platform::ErrorCategory;
    using platform::Share;
    platform::OpenResult opened = platform::open_or_create(connection.file_name.data(), Access::read_write, Share::read, missing);
    if (opened.handle == platform::kNoFile) {
        const ErrorCategory category = platform::categorize(opened.error);
        if (category == ErrorCategory::access_denied || category == ErrorCategory::write_protected) {
            opened = platform::open_or_create(connection.file_name.data(), Access::read_only, Share::read, missing);
            connection.read_only = true;
        } else if (category == ErrorCategory::sharing_violation) {
            // Others write the file: we may read it, allowing them to go on.
            opened = platform::open_or_create(connection.file_name.data(), Access::read_only, Share::read_write, missing);
            connection.read_only = true;
        }
    }
    if (opened.handle == platform::kNoFile) {
        connection.read_only = false;
        const ErrorCategory category = platform::categorize(opened.error);
        const int number = open_failure_number(category);
        // Only a failure the numbers do not name shows the platform's text.
        const bool shown = number == err::kOpenFailure && category != ErrorCategory::too_many_open_files;
        return {number, connection.unit, shown ? opened.error : 0};
    }
    connection.handle = opened.handle;
    disk_file = opened.disk_file;
    return {};
}

void drop_handle(UnitConnection& connection) {
    platform::close_file(connection.handle);
    connection.handle = platform::kNoFile;
}

// `stream` set: the unit takes over a standard stream, and `name` is only
// what messages call it.
IoResult connect_unit(std::int32_t unit, std::string_view name, platform::Missing missing,
                      std::optional<platform::StandardStream> stream, const BufferingDefaults& defaults) {
    UnitSlot* slot = find_slot(unit);
    if (slot == nullptr) return {err::kOpenFailure, unit};
    if (slot->connection && slot->connection->connected) {
        // A second open of a connected unit ends the first connection.
        if (const IoResult closed = close_unit(unit); !closed.ok()) return closed;
    }
    if (!slot->connection) {
        slot->connection.reset(new (std::nothrow) UnitConnection{});
        if (!slot->connection) return {err::kNoMemory, unit};
    } else {
        *slot->connection = UnitConnection{};
    }
    UnitConnection& connection = *slot->connection;
    connection.unit = unit;
    const BusyMark busy{slot};

    // The name: trimmed, absolute when it can be made so, at most 256
    // characters as the system counts them.
    const std::string_view trimmed = trim_name(name);
    char full[kLongestName * platform::kMostBytesPerNameUnit + 1];
    const auto fits = [](std::string_view text) { return platform::name_length(text) <= kLongestName; };
    const std::size_t full_length = !stream && fits(trimmed) ? platform::full_path_name(trimmed, full) : 0;
    const std::string_view full_name{full, full_length};
    const std::string_view in_use = full_length >= 1 && fits(full_name) ? full_name : trimmed;
    if (!keep_name(connection, in_use)) return {err::kNoMemory, unit};
    // A zero byte inside the name would open a different, shorter name.
    if (!fits(in_use) || in_use.find('\0') != std::string_view::npos) return {err::kFileNameError, unit};

    const IoSettings settings = io_settings_for_open();
    if (settings.sizes.formatted_record_length == kSettingBad) return {err::kBadFormattedRecordLength, unit};
    if (settings.sizes.formatted_record_length > 0) {
        connection.record_length_defaulted = false;
        connection.record_area_size = static_cast<std::size_t>(settings.sizes.formatted_record_length);
    } else {
        connection.record_area_size = kDefaultRecordLength + 1;
    }

    bool disk_file = false;
    if (stream) {
        // A stream the user named must be a real one, not what start-up put
        // in place of a closed one.
        if (const platform::SystemError code = platform::standard_stream_error(*stream); code != 0) {
            return {err::kOpenFailure, unit, code};
        }
        // A standard stream is never cut, even when a disk file stands behind it.
        connection.handle = platform::standard_handle(*stream);
    } else if (const IoResult opened = open_file(connection, missing, disk_file); !opened.ok()) {
        return opened;
    }
    // One more position for the carriage control of a formatted record.
    connection.record_area_size += 1;
    connection.disk_file = disk_file;
    // The variable, when set, says it for every run; unset, the program's default holds.
    const bool buffering_set = std::getenv("FORT_BUFFERED") != nullptr;
    connection.buffered = disk_file && (buffering_set ? rt::check_env_flag("FORT_BUFFERED") : defaults.buffered);

    if (settings.sizes.block_size == kSettingBad) {
        drop_handle(connection);
        return {err::kBadBlockSize, unit};
    }
    if (settings.sizes.buffer_count == kSettingBad) {
        drop_handle(connection);
        return {err::kBadBufferCount, unit};
    }
    const bool block_size_set = settings.sizes.block_size > 0;
    connection.block_size_value = block_size_set ? static_cast<std::size_t>(settings.sizes.block_size) : kDefaultBlockSizeValue;
    const std::uint64_t block = block_size_set        ? static_cast<std::uint64_t>(settings.sizes.block_size)
                                : defaults.block_size ? defaults.block_size
                                                      : kDefaultBufferBlockSize;
    const std::uint64_t count = settings.sizes.buffer_count > 0 ? static_cast<std::uint64_t>(settings.sizes.buffer_count) : 1;
    const std::uint64_t buffer_size = std::max<std::uint64_t>(connection.record_area_size + kTerminatorRoom, count * block);

    connection.truncate_at_next_record = disk_file;
    if (settings.terminator_rule != nullptr) {
        if (const auto kind = settings.terminator_rule->terminator_for(unit)) connection.terminator = *kind;
    }

    // 127 blocks of the largest size are more than a 32-bit address space holds.
    if (buffer_size > std::numeric_limits<std::size_t>::max() || !connection.buffer.allocate(static_cast<std::size_t>(buffer_size))) {
        drop_handle(connection);
        return {err::kNoMemory, unit};
    }
    connection.record_start = connection.next_position = 0;
    connection.record_end = connection.record_area_size;
    connection.connected = true;
    return {};
}

}  // namespace

IoResult open_unit(std::int32_t unit, std::string_view name, platform::Missing missing,
                   const BufferingDefaults& defaults) {
    return connect_unit(unit, name, missing, std::nullopt, defaults);
}

IoResult open_standard_unit(std::int32_t unit, platform::StandardStream stream, std::string_view shown_name) {
    return connect_unit(unit, shown_name, platform::Missing::fail, stream, {});
}

}  // namespace io
