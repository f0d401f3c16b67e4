#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/testing.h"
#include "platform/win32/wide_text.h"

namespace platform {

ErrorCategory categorize(SystemError code) {
    switch (code) {
        case ERROR_SUCCESS: return ErrorCategory::none;
        case ERROR_ACCESS_DENIED: return ErrorCategory::access_denied;
        case ERROR_WRITE_PROTECT: return ErrorCategory::write_protected;
        case ERROR_SHARING_VIOLATION: return ErrorCategory::sharing_violation;
        case ERROR_FILE_NOT_FOUND: return ErrorCategory::file_not_found;
        case ERROR_PATH_NOT_FOUND: return ErrorCategory::path_not_found;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_NO_UNICODE_TRANSLATION: return ErrorCategory::invalid_name;
        case ERROR_FILENAME_EXCED_RANGE: return ErrorCategory::name_too_long;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS: return ErrorCategory::already_exists;
        case ERROR_BAD_UNIT:
        case ERROR_INVALID_DRIVE: return ErrorCategory::bad_unit;
        case ERROR_TOO_MANY_OPEN_FILES: return ErrorCategory::too_many_open_files;
        case ERROR_HANDLE_EOF: return ErrorCategory::end_of_file;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ErrorCategory::disk_full;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ErrorCategory::out_of_memory;
        default: return ErrorCategory::other;
    }
}

// The code each category is most often met with here.
SystemError testing::system_code(ErrorCategory category) {
    switch (category) {
        case ErrorCategory::none: return ERROR_SUCCESS;
        case ErrorCategory::access_denied: return ERROR_ACCESS_DENIED;
        case ErrorCategory::write_protected: return ERROR_WRITE_PROTECT;
        case ErrorCategory::sharing_violation: return ERROR_SHARING_VIOLATION;
        case ErrorCategory::file_not_found: return ERROR_FILE_NOT_FOUND;
        case ErrorCategory::path_not_found: return ERROR_PATH_NOT_FOUND;
        case ErrorCategory::invalid_name: return ERROR_INVALID_NAME;
        case ErrorCategory::name_too_long: return ERROR_FILENAME_EXCED_RANGE;
        case ErrorCategory::already_exists: return ERROR_ALREADY_EXISTS;
        case ErrorCategory::bad_unit: return ERROR_BAD_UNIT;
        case ErrorCategory::too_many_open_files: return ERROR_TOO_MANY_OPEN_FILES;
        case ErrorCategory::end_of_file: return ERROR_HANDLE_EOF;
        case ErrorCategory::disk_full: return ERROR_DISK_FULL;
        case ErrorCategory::out_of_memory: return ERROR_NOT_ENOUGH_MEMORY;
        case ErrorCategory::other: return ERROR_GEN_FAILURE;
    }
    return ERROR_GEN_FAILURE;
}

// The system's message for the code in the default language, with the line
// break it ends in, as UTF-8 like every text of the program: a message in a
// language outside the ANSI code page reaches a console whole. The text is
// at most 1024 bytes, and must fit in `out` with its terminating zero.
std::size_t system_error_text(SystemError code, std::span<char> out) {
    constexpr std::size_t kLongestText = 1024;
    const DWORD room = static_cast<DWORD>(std::min(out.size(), kLongestText));
    if (room == 0) return 0;
    wchar_t wide[kLongestText];
    const DWORD wide_length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                               MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), wide, kLongestText, nullptr);
    if (wide_length == 0 || wide_length >= kLongestText) return 0;
    DWORD length = static_cast<DWORD>(win32::to_utf8({wide, wide_length}, out.first(room)));
    if (length == 0 || length >= room) return 0;
    // System messages end in CR LF; one that does not gets it here.
    if (out[length - 1] != '\n') {
        if (length + 3 > room) return 0;
        out[length++] = '\r';
        out[length++] = '\n';
        out[length] = '\0';
    }
    return length;
}

}  // namespace platform
