#include "platform/posix/fifo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/path_handle.h"

namespace platform::posix {

SystemError open_held_fifo(int fd, int direction) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_PATH) == 0) return EBADF;
    // The open waits for the other end.
    const int end = open_held(fd, direction);
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
