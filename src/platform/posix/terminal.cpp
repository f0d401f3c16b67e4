#include "platform/terminal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace platform {

FileHandle standard_handle(StandardStream stream) {
    switch (stream) {
        case StandardStream::input: return STDIN_FILENO;
        case StandardStream::output: return STDOUT_FILENO;
        case StandardStream::error: return STDERR_FILENO;
    }
    return kNoFile;
}

// Terminals and files here take UTF-8 and line feeds as they are.
bool write_user_text(StandardStream stream, std::string_view text) {
    return write_file(standard_handle(stream), text).error == 0;
}

// Start-up's placeholder for a closed stream carries close-on-exec, which an
// inherited descriptor never does (the exec closed those): see process_start.cpp.
SystemError standard_stream_error(StandardStream stream) {
    const int flags = ::fcntl(static_cast<int>(standard_handle(stream)), F_GETFD);
    if (flags < 0) return static_cast<SystemError>(errno);
    return (flags & FD_CLOEXEC) != 0 ? EBADF : 0;
}

bool is_terminal(StandardStream stream) { return ::isatty(standard_handle(stream)) == 1; }

int terminal_columns(StandardStream stream) {
    struct winsize size {};
    if (::ioctl(standard_handle(stream), TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

std::uint64_t monotonic_nanoseconds() {
    timespec now{};
    // CLOCK_MONOTONIC cannot fail with a valid pointer; zero keeps a caller
    // that compares readings from going wrong should it ever.
    if (::clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace platform
