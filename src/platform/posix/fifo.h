// FIFOs named as files of a unit.
//
// Opening a FIFO read-write, as every unit is opened, would hold both of its
// ends: a reader would then never see the end of the data (we are a writer
// too) and a writer would block instead of failing when its reader has gone
// (we are a reader too). So a FIFO is not opened at the open at all: the
// handle is the path handle that the open looked through (O_PATH, neither
// end), and the first read or write, which fails on such a handle, opens the
// one end it needs in its place. That open waits for the other side, as any
// FIFO user does.
#pragma once

#include "platform/files.h"

namespace platform::posix {

// Puts the end of the FIFO that `direction` (O_RDONLY or O_WRONLY) needs in
// place of a held FIFO. Returns 0 when the transfer may be tried again, EBADF
// when `fd` holds no FIFO, or the error of the open.
SystemError open_held_fifo(int fd, int direction);

}  // namespace platform::posix
