#include "platform/posix/share_lock.h"

#include <fcntl.h>

#include <cerrno>

namespace platform::posix {

// Sharing "others may read, not write" conflicts with any other open that
// writes or that refuses writers itself; sharing everything conflicts with
// nothing. With one lock over the whole file that is:
//   read-write, others may read    -> write lock (excludes every other lock)
//   read-only,  others may read    -> read lock (excludes a write lock only)
//   read-only,  others may write   -> no lock
// so a second read-write open of a file in use meets a sharing violation and
// its read-only, share-all retry succeeds, while readers are never refused.
// Locks of open file descriptions, unlike process-owned ones, also conflict
// between two opens of one process, and go away with the last close.
SystemError take_share_lock(int fd, Access access, Share share) {
    if (share == Share::read_write) return 0;
    struct flock lock {};
    lock.l_type = access == Access::read_write ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // to the end of the file, however long it grows
    int rc;
    do {
        rc = ::fcntl(fd, F_OFD_SETLK, &lock);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return 0;
    if (errno == EAGAIN || errno == EACCES) return EAGAIN;
    // No locks here (a file system without them, an older kernel, a full
    // lock table): the file is used unguarded, as before locks existed.
    return 0;
}

}  // namespace platform::posix
