#include "platform/posix/path_handle.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>

#include "platform/console_events.h"
#include "platform/posix/syscalls.h"

namespace platform::posix {

int hold_path(const char* path) {
    int fd;
    do {
        fd = sys_open(path, O_PATH | O_CLOEXEC, 0);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int open_held(int held, int flags) {
    // The link names the very file the handle holds, even if its path has
    // changed or gone since.
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", held);
    for (;;) {
        const int fd = sys_open(link, flags | O_CLOEXEC | O_NOCTTY, 0);
        if (fd >= 0 || errno != EINTR) return fd;
        check_console_events();
    }
}

}  // namespace platform::posix
