#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/testing.h"

namespace platform {

ErrorCategory categorize(SystemError code) {
    switch (code) {
        case 0: return ErrorCategory::none;
        case EACCES:
        case EPERM:
        case EISDIR: return ErrorCategory::access_denied;
        case EROFS: return ErrorCategory::write_protected;
        case ETXTBSY:  // a running program's file
        case EAGAIN:   // another open holds the file in a mode that excludes ours
            return ErrorCategory::sharing_violation;
        case ENOENT: return ErrorCategory::file_not_found;
        case ENOTDIR: return ErrorCategory::path_not_found;
        case EILSEQ: return ErrorCategory::invalid_name;
        case ENAMETOOLONG: return ErrorCategory::name_too_long;
        case EEXIST: return ErrorCategory::already_exists;
        case ENXIO:
        case ENODEV: return ErrorCategory::bad_unit;
        case EMFILE:
        case ENFILE: return ErrorCategory::too_many_open_files;
        case ENOSPC:
        case EDQUOT: return ErrorCategory::disk_full;
        case ENOMEM: return ErrorCategory::out_of_memory;
        default: return ErrorCategory::other;
    }
}

// The code each category is most often met with here.
SystemError testing::system_code(ErrorCategory category) {
    switch (category) {
        case ErrorCategory::none: return 0;
        case ErrorCategory::access_denied: return EACCES;
        case ErrorCategory::write_protected: return EROFS;
        case ErrorCategory::sharing_violation: return ETXTBSY;
        case ErrorCategory::file_not_found: return ENOENT;
        case ErrorCategory::path_not_found: return ENOTDIR;
        case ErrorCategory::invalid_name: return EILSEQ;
        case ErrorCategory::name_too_long: return ENAMETOOLONG;
        case ErrorCategory::already_exists: return EEXIST;
        case ErrorCategory::bad_unit: return ENXIO;
        case ErrorCategory::too_many_open_files: return EMFILE;
        case ErrorCategory::end_of_file: return 0;  // a read of no bytes, not an error code
        case ErrorCategory::disk_full: return ENOSPC;
        case ErrorCategory::out_of_memory: return ENOMEM;
        case ErrorCategory::other: return EIO;
    }
    return EIO;
}

namespace {

// strerror_r comes in two shapes; both end up as a pointer to the text.
[[maybe_unused]] const char* error_text(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* error_text(const char* result, const char*) { return result; }

}  // namespace

std::size_t system_error_text(SystemError code, std::span<char> out) {
    char buffer[1024];
    const char* text = error_text(::strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
    if (text == nullptr) return 0;
    const std::string_view view{text};
    // The C library invents a text for codes it does not know; that is no text.
    if (view.empty() || view.starts_with("Unknown error")) return 0;
    if (view.size() + 2 > out.size()) return 0;  // the text, the line break, the zero
    std::memcpy(out.data(), view.data(), view.size());
    out[view.size()] = '\n';
    out[view.size() + 1] = '\0';
    return view.size() + 1;
}

}  // namespace platform
