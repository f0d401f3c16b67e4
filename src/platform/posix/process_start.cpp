#include "platform/process_start.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace platform {
namespace {

bool is_open(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

int open_placeholder(const char* path, int flags) {
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// A closed standard descriptor is the lowest free number, so the next open
// would take it: the input file would then receive the reports written to
// standard error. The null device fills it; where there is none (a bare
// chroot), the root directory does, which refuses reads and writes alike.
// The placeholder carries close-on-exec, which no inherited descriptor has:
// that tells it from a stream the user gave (standard_stream_error).
void fill_standard_descriptor(int wanted) {
    int fd = open_placeholder("/dev/null", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fd = open_placeholder("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || fd == wanted) return;
    // Lower numbers are open already, so this only happens if the number was
    // taken between the check and the open; move it where it belongs.
    ::dup3(fd, wanted, O_CLOEXEC);
    ::close(fd);
}

void ignore(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

void prepare_process() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (!is_open(fd)) fill_standard_descriptor(fd);
    // Either signal would end the process with no report; ignored, the write
    // fails with EPIPE or EFBIG and the failure is reported like any other.
    // A report that itself meets a broken pipe is then simply lost.
    ignore(SIGPIPE);
    ignore(SIGXFSZ);
}

}  // namespace platform
