// The sharing mode of an open, carried out with an open-file-description lock.
#pragma once

#include "platform/files.h"

namespace platform::posix {

// Takes the lock that stands for `share` on a regular file just opened with
// `access`, held until the descriptor is closed. Returns 0, or EAGAIN when a
// lock of another open excludes this one (a sharing violation). Never waits.
SystemError take_share_lock(int fd, Access access, Share share);

}  // namespace platform::posix
