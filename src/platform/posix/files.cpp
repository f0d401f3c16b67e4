#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/fifo.h"
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

OpenResult open_or_create(const char* path, Access access, Share share) {
    // A FIFO is held, not opened: see fifo.h. Only a path that is missing
    // goes on to be created.
    struct stat status {};
    if (posix::sys_stat(path, &status) == 0) {
        if (S_ISFIFO(status.st_mode)) return posix::hold_fifo(path);
    } else if (errno != ENOENT) {
        return {kNoFile, last_error()};
    }

    const int flags = O_CREAT | O_CLOEXEC | O_NOCTTY | (access == Access::read_write ? O_RDWR : O_RDONLY);
    int fd;
    do {
        fd = posix::sys_open(path, flags, 0666);
    } while (fd < 0 && interrupted());
    if (fd < 0) return {kNoFile, last_error()};

    // What was opened decides what it is: the path may have changed since
    // the look above. A check that fails fails the open; guessing "not a
    // disk file" would leave an old output's tail uncut.
    const auto refuse = [fd](SystemError code) {
        posix::sys_close(fd);
        return OpenResult{kNoFile, code};
    };
    if (posix::sys_fstat(fd, &status) != 0) return refuse(last_error());
    // open(2) with O_CREAT already refuses a directory, but be sure: a
    // directory is no file for records, for reading as well as for writing.
    if (S_ISDIR(status.st_mode)) return refuse(EISDIR);
    if (S_ISFIFO(status.st_mode)) {  // made a FIFO just now: let go of its ends
        posix::sys_close(fd);
        return posix::hold_fifo(path);
    }
    const bool disk_file = S_ISREG(status.st_mode);
    if (disk_file) {
        if (const SystemError code = posix::take_share_lock(fd, access, share); code != 0) return refuse(code);
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
