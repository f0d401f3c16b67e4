// Environment values as UTF-8 text, whatever form the system keeps them in:
// Windows' C run-time hands them over in the ANSI code page, where a name in
// another script arrives as question marks, so its backend reads the
// wide-character environment instead, as it does the arguments.
#pragma once

namespace platform {

// The value of the variable `name` (ASCII) as UTF-8, or null when it is not
// set. The text lives as long as the process; each call may make a copy, so
// read a variable once, at start-up. Not for the fault path.
const char* environment_text(const char* name);

}  // namespace platform
