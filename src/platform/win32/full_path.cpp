#include "platform/files.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/syscalls.h"

namespace platform {

namespace {

// Longer names are not made absolute: the record layer never asks for more
// than 256 characters.
constexpr std::size_t kLongestName = 4095;

}  // namespace

// GetFullPathNameA joins the current directory (of the name's drive) and the
// name, and resolves "." and ".." by text alone; the file system is not asked
// whether anything exists.
std::size_t full_path_name(std::string_view name, std::span<char> out) {
    // The system call takes a terminated name: a zero byte inside it would
    // silently name a different, shorter file.
    if (name.empty() || name.size() > kLongestName || name.find('\0') != std::string_view::npos) return 0;
    if (out.size() < 2) return 0;
    char terminated[kLongestName + 1];
    std::memcpy(terminated, name.data(), name.size());
    terminated[name.size()] = '\0';
    const DWORD room = out.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(out.size());
    // A result that does not fit comes back as the room it would need, or as 0.
    const DWORD length = win32::sys_get_full_path_name(terminated, room, out.data());
    if (length == 0 || length >= room) return 0;
    return length;
}

std::string_view file_name_part(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace platform
