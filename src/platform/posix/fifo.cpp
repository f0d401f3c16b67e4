#include "platform/posix/fifo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/console_events.h"
#include "platform/posix/syscalls.h"

namespace platform::posix {

OpenResult hold_fifo(const char* path) {
    const int fd = sys_open(path, O_PATH | O_CLOEXEC, 0);
    if (fd < 0) return {kNoFile, static_cast<SystemError>(errno)};
    return {fd, 0, false};
}

SystemError open_held_fifo(int fd, int direction) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_PATH) == 0) return EBADF;
    // The held descriptor names the very FIFO that was opened, even if its
    // path has changed since; its link in /proc opens it anew.
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    // The open waits for the other end; a console event that interrupts the
    // wait is acted on before waiting again.
    int end;
    for (;;) {
        end = sys_open(link, direction | O_CLOEXEC | O_NOCTTY, 0);
        if (end >= 0 || errno != EINTR) break;
        check_console_events();
    }
    if (end < 0) return static_cast<SystemError>(errno);
    // The handle's number stays the caller's; the held path goes with it.
    int moved;
    do {
        moved = ::dup3(end, fd, O_CLOEXEC);
    } while (moved < 0 && errno == EINTR);
    const SystemError code = moved < 0 ? static_cast<SystemError>(errno) : 0;
    ::close(end);
    return code;
}

}  // namespace platform::posix
