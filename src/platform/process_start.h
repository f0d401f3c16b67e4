// The state the process must be in before the run-time layer opens anything.
#pragma once

namespace platform {

// Makes sure no file of the program can land on a standard descriptor (one
// that was closed is opened on the null device), and that a write to a broken
// pipe or past the file-size limit fails with its error instead of ending the
// process. Call once, first thing at start-up, before any other thread exists.
void prepare_process();

}  // namespace platform
