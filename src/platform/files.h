// Files: open-or-create, read, write, cut, close, and the names and codes of failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

// Wide enough for either system's handle: a descriptor or a kernel object.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// The platform's own error code, kept for its text; 0 means none.
using SystemError = std::uint32_t;

// What the record layer needs to know of a failure, whatever the platform's code.
enum class ErrorCategory : std::uint8_t {
    none,
    access_denied,
    write_protected,
    sharing_violation,
    file_not_found,
    path_not_found,
    invalid_name,
    name_too_long,
    already_exists,
    bad_unit,
    too_many_open_files,
    end_of_file,
    disk_full,
    out_of_memory,
    other,
};

ErrorCategory categorize(SystemError code);

enum class Access : std::uint8_t { read_write, read_only };
// Who else may write while we hold the file open.
enum class Share : std::uint8_t { read, read_write };
// What an open does when the file is not there.
enum class Missing : std::uint8_t { create, fail };

struct OpenResult {
    FileHandle handle = kNoFile;
    SystemError error = 0;   // set when handle == kNoFile
    bool disk_file = false;  // a file on disk, not a console, pipe or device
};

// Opens an existing file unchanged at its first byte, or creates it empty
// (`missing` create; with fail a missing file is a failure, file not found).
// A directory is refused (access denied) for reading as well as writing.
// Whether the file is on disk is found out here: a check that fails is a
// failure of the open. While the handle is open, a later open whose access
// or sharing conflicts with `share` fails with a sharing violation.
OpenResult open_or_create(const char* path, Access access, Share share, Missing missing = Missing::create);

struct TransferResult {
    std::size_t bytes = 0;
    SystemError error = 0;  // 0 on success
};

TransferResult read_file(FileHandle file, std::span<char> into);
TransferResult write_file(FileHandle file, std::span<const char> bytes);
// Cuts the file at its current position.
SystemError truncate_here(FileHandle file);
// Cuts the file `bytes` before its current position and moves the position
// there: takes back the bytes of a write that failed part-way.
SystemError cut_back(FileHandle file, std::uint64_t bytes);
SystemError close_file(FileHandle file);
bool is_disk_file(FileHandle file);

// Absolute form of `name`, formed textually: the current directory joined with
// the name, "." and ".." resolved, without consulting the file system.
// Returns the length written (without a terminating zero, which is also
// written), or 0 when it does not fit in `out` or cannot be formed.
std::size_t full_path_name(std::string_view name, std::span<char> out);

// The length of a UTF-8 name as the system measures its names: bytes on
// POSIX, UTF-16 units on Windows, so that a limit counted in characters
// does not refuse a name in another script for the bytes its characters take.
std::size_t name_length(std::string_view name);

// The most UTF-8 bytes one unit of name_length takes on any system.
inline constexpr std::size_t kMostBytesPerNameUnit = 3;

// The file name and extension of a path: what follows its last directory
// separator (and its drive, where paths have one). Safe on the fault path.
std::string_view file_name_part(std::string_view path);

// The platform's text for a code, ending with its own line break; 0 when it has none.
std::size_t system_error_text(SystemError code, std::span<char> out);

}  // namespace platform
