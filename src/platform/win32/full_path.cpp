#include "platform/files.h"

#include <windows.h>


#include "platform/win32/syscalls.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

// Longer names are not made absolute: the record layer never asks for more
// than 256 characters.
constexpr std::size_t kLongestName = 4095;

}  // namespace

// GetFullPathNameW joins the current directory (of the name's drive) and the
// name, and resolves "." and ".." by text alone; the file system is not asked
// whether anything exists. Names are UTF-8 on both sides.
std::size_t full_path_name(std::string_view name, std::span<char> out) {
    // The system call takes a terminated name: a zero byte inside it would
    // silently name a different, shorter file.
    if (name.empty() || name.size() > kLongestName || name.find('\0') != std::string_view::npos) return 0;
    if (out.size() < 2) return 0;
    wchar_t wide[kLongestName + 1];
    if (win32::to_wide(name, wide) == 0) return 0;
    wchar_t full[kLongestName + 1];
    // A result that does not fit comes back as the room it would need, or as 0.
    const DWORD length = win32::sys_get_full_path_name(wide, kLongestName + 1, full);
    if (length == 0 || length > kLongestName) return 0;
    return win32::to_utf8({full, length}, out);
}

std::string_view file_name_part(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

// Each character takes one UTF-16 unit, but those past the first 65 536,
// which take two: UTF-8 starts them with a byte from 0xF0.
std::size_t name_length(std::string_view name) {
    std::size_t units = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;
        if (byte >= 0xF0) ++units;
    }
    return units;
}

}  // namespace platform
