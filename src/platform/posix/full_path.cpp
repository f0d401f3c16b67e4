#include "platform/files.h"

#include <climits>
#include <cstring>
#include <string_view>

#include "platform/posix/syscalls.h"

namespace platform {

namespace {

// Appends the components of `path` to the absolute path out[0, length),
// resolving "." and ".." by text alone. False when `out` is too small.
bool append_components(std::string_view path, std::span<char> out, std::size_t& length) {
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // Up one level; the root is its own parent.
            while (length > 0 && out[length - 1] != '/') --length;
            if (length > 0) --length;
            continue;
        }
        if (length + 1 + part.size() + 1 > out.size()) return false;  // '/', the part, the zero
        out[length++] = '/';
        std::memcpy(out.data() + length, part.data(), part.size());
        length += part.size();
    }
    return true;
}

}  // namespace

std::size_t full_path_name(std::string_view name, std::span<char> out) {
    if (name.empty() || out.size() < 2) return 0;
    std::size_t length = 0;
    if (name.front() != '/') {
        char directory[PATH_MAX];
        if (posix::sys_getcwd(directory, sizeof directory) == nullptr) return 0;
        if (!append_components(directory, out, length)) return 0;
    }
    if (!append_components(name, out, length)) return 0;
    if (length == 0) {
        out[length++] = '/';
    } else if (name.back() == '/') {
        // Keep a trailing slash: "name/" asks for a directory, and must not
        // quietly become a request for a plain file called "name".
        if (length + 2 > out.size()) return 0;
        out[length++] = '/';
    }
    out[length] = '\0';
    return length;
}

std::string_view file_name_part(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Linux limits its names in bytes.
std::size_t name_length(std::string_view name) { return name.size(); }

}  // namespace platform
