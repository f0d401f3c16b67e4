// Files held by a path handle (O_PATH) and opened through it.
//
// An open that names a path and then looks at what it opened can be fooled:
// between the two the path may come to name something else. A path handle
// opens nothing (no end of a FIFO, no device), yet it names one file for
// good: what it holds is looked at through it, and opened through it, so
// the file looked at is the file opened.
#pragma once

namespace platform::posix {

// A path handle on what `path` names (symbolic links followed), or -1 with
// errno set.
int hold_path(const char* path);

// Opens the file that the path handle `held` holds, with `flags`, through
// its link in /proc. Returns the new descriptor, or -1 with errno set
// (ENOENT when there is no /proc). A console event that interrupts the open
// is acted on before the open is tried again.
int open_held(int held, int flags);

}  // namespace platform::posix
