#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/fifo.h"
#include "platform/posix/path_handle.h"
#include "platform/posix/share_lock.h"
#include "platform/console_events.h"
#include "platform/posix/syscalls.h"

namespace platform {

namespace {

SystemError last_error() { return static_cast<SystemError>(errno); }

int descriptor(FileHandle file) { return static_cast<int>(file); }

// A call a console event interrupted: the event is acted on (which ends the
// process) before the call is tried again.
bool interrupted() {
    if (errno != EINTR) return false;
    check_console_events();
    return true;
}

}  // namespace

namespace {

OpenResult refuse(int fd, SystemError code) {
    posix::sys_close(fd);
    return {kNoFile, code};
}

// Without /proc nothing can be opened through a path handle: the path is
// opened again, without waiting (a FIFO put there since would otherwise
// block), and it must still name the file that was looked at.
int open_path_again(const char* path, int flags, const struct stat& held) {
    int fd;
    do {
        fd = posix::sys_open(path, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    } while (fd < 0 && interrupted());
    if (fd < 0) return -1;
    struct stat now {};
    if (posix::sys_fstat(fd, &now) != 0) {
        const int code = errno;
        posix::sys_close(fd);
        errno = code;
        return -1;
    }
    if (now.st_dev != held.st_dev || now.st_ino != held.st_ino) {
        posix::sys_close(fd);
        errno = ESTALE;  // the path changed under the open
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// `held` is a path handle on `path`; the handle is used up either way.
OpenResult open_through(int held, const char* path, Access access, Share share) {
    struct stat status {};
    // A check that fails fails the open: guessing "not a disk file" would
    // leave an old output's tail uncut.
    if (posix::sys_fstat(held, &status) != 0) return refuse(held, last_error());
    // A directory is no file for records, for reading as well as for writing.
    if (S_ISDIR(status.st_mode)) return refuse(held, EISDIR);
    // A FIFO is held, not opened: see fifo.h.
    if (S_ISFIFO(status.st_mode)) return {held, 0, false};

    const int direction = access == Access::read_write ? O_RDWR : O_RDONLY;
    int fd = posix::open_held(held, direction);
    if (fd < 0 && errno == ENOENT) fd = open_path_again(path, direction, status);
    const SystemError code = fd < 0 ? last_error() : 0;
    posix::sys_close(held);
    if (fd < 0) return {kNoFile, code};
    const bool disk_file = S_ISREG(status.st_mode);
    if (disk_file) {
        if (const SystemError locked = posix::take_share_lock(fd, access, share); locked != 0) return refuse(fd, locked);
    }
    return {fd, 0, disk_file};
}

}  // namespace

// What is opened is looked at, never the path: the file is first held by a
// path handle, which opens nothing, and then opened through that handle.
OpenResult open_or_create(const char* path, Access access, Share share, Missing missing) {
    const int held = posix::hold_path(path);
    if (held >= 0) return open_through(held, path, access, share);
    if (errno != ENOENT || missing == Missing::fail) return {kNoFile, last_error()};

    // Missing: create it. Something put there since is opened instead, and
    // looked at through the descriptor like any other.
    const int flags = O_CREAT | O_CLOEXEC | O_NOCTTY | (access == Access::read_write ? O_RDWR : O_RDONLY);
    int fd;
    do {
        fd = posix::sys_open(path, flags, 0666);
    } while (fd < 0 && interrupted());
    if (fd < 0) return {kNoFile, last_error()};
    struct stat status {};
    if (posix::sys_fstat(fd, &status) != 0) return refuse(fd, last_error());
    if (S_ISDIR(status.st_mode)) return refuse(fd, EISDIR);
    if (S_ISFIFO(status.st_mode)) {
        // A FIFO made in the moment between: held through this descriptor,
        // whose ends are then let go.
        const int hold = posix::open_held(fd, O_PATH);
        const SystemError code = hold < 0 ? last_error() : 0;
        posix::sys_close(fd);
        return hold < 0 ? OpenResult{kNoFile, code} : OpenResult{hold, 0, false};
    }
    const bool disk_file = S_ISREG(status.st_mode);
    if (disk_file) {
        if (const SystemError code = posix::take_share_lock(fd, access, share); code != 0) return refuse(fd, code);
    }
    return {fd, 0, disk_file};
}

TransferResult read_file(FileHandle file, std::span<char> into) {
    for (;;) {
        const ssize_t got = posix::sys_read(descriptor(file), into.data(), into.size());
        if (got >= 0) return {static_cast<std::size_t>(got), 0};
        if (interrupted()) continue;
        // A held FIFO gets its reading end at its first read.
        const SystemError code = errno == EBADF ? posix::open_held_fifo(file, O_RDONLY) : last_error();
        if (code != 0) return {0, code};
    }
}

TransferResult write_file(FileHandle file, std::span<const char> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = posix::sys_write(descriptor(file), bytes.data() + done, bytes.size() - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
        } else if (put == 0) {
            return {done, ENOSPC};  // no progress and no error: treat as a full device
        } else if (errno == EBADF) {
            // A held FIFO gets its writing end at its first write.
            if (const SystemError code = posix::open_held_fifo(file, O_WRONLY); code != 0) return {done, code};
        } else if (!interrupted()) {
            return {done, last_error()};
        }
    }
    return {done, 0};
}

SystemError truncate_here(FileHandle file) {
    const off_t here = posix::sys_lseek(descriptor(file), 0, SEEK_CUR);
    if (here < 0) return last_error();
    int rc;
    do {
        rc = posix::sys_ftruncate(descriptor(file), here);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : last_error();
}

SystemError cut_back(FileHandle file, std::uint64_t bytes) {
    const off_t here = posix::sys_lseek(descriptor(file), 0, SEEK_CUR);
    if (here < 0) return last_error();
    if (bytes > static_cast<std::uint64_t>(here)) return EINVAL;
    const off_t end = here - static_cast<off_t>(bytes);
    int rc;
    do {
        rc = posix::sys_ftruncate(descriptor(file), end);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) return last_error();
    return posix::sys_lseek(descriptor(file), end, SEEK_SET) < 0 ? last_error() : 0;
}

SystemError close_file(FileHandle file) {
    // On Linux the descriptor is gone even when close reports EINTR;
    // retrying could close a descriptor another thread has just opened.
    if (posix::sys_close(descriptor(file)) == 0 || errno == EINTR) return 0;
    return last_error();
}

bool is_disk_file(FileHandle file) {
    struct stat status {};
    return posix::sys_fstat(descriptor(file), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace platform
