// Standard error, debugger presence and the ends of the process on POSIX.
// Everything here except exit_process is async-signal-safe: the fault path
// calls these from a signal handler. POSIX has no text mode, so the stream
// variants carry the same bytes as the raw ones; they go around the stream
// library, which gives up on a write a signal interrupts.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

bool write_all(int fd, std::span<const char> bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(done));
    }
    return true;
}

int open_for_append(const char* path) {
    int fd;
    do {
        fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

bool write_standard_error(std::span<const char> bytes) { return write_all(STDERR_FILENO, bytes); }

bool write_standard_error_stream(std::span<const char> bytes) { return write_standard_error(bytes); }

// The file is opened before standard error is touched, so a name that cannot
// be opened leaves standard error as it was.
bool reopen_standard_error(const char* path) {
    const int fd = open_for_append(path);
    if (fd < 0) return false;
    const bool moved = ::dup2(fd, STDERR_FILENO) >= 0;
    ::close(fd);
    return moved;
}

bool append_to_file(const char* path, std::span<const char> bytes) {
    const int fd = open_for_append(path);
    if (fd < 0) return false;
    const bool written = write_all(fd, bytes);
    return ::close(fd) == 0 && written;
}

bool append_to_file_stream(const char* path, std::span<const char> bytes) { return append_to_file(path, bytes); }

// No text mode here: the raw bytes are what a stream would write.
bool write_standard_error_text(std::span<const char> bytes) { return write_standard_error(bytes); }

bool append_to_file_text(const char* path, std::span<const char> bytes) { return append_to_file(path, bytes); }

// A tracer shows as a non-zero TracerPid in /proc/self/status.
bool debugger_present() {
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char text[4096];
    std::size_t used = 0;
    for (;;) {
        const ssize_t got = ::read(fd, text + used, sizeof text - 1 - used);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        used += static_cast<std::size_t>(got);
        if (used == sizeof text - 1) break;
    }
    ::close(fd);
    text[used] = '\0';
    const char* field = std::strstr(text, "TracerPid:");
    if (field == nullptr) return false;
    field += sizeof "TracerPid:" - 1;
    while (*field == ' ' || *field == '\t') ++field;
    return *field >= '1' && *field <= '9';
}

void debug_break() { ::raise(SIGTRAP); }

void clear_last_error() { errno = 0; }

// Exit statuses are 8 bits here: a number above 255 (500, for one) would
// wrap to an unrelated status.
int exit_status_for(int number) { return number > 255 ? 255 : number; }

void exit_process(int status) { std::exit(status); }

void end_process_now(int status) { ::_exit(status); }

void abort_process() { std::abort(); }

}  // namespace platform
