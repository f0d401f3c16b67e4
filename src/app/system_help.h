// What the command line says differently on each system: the words a user
// of the system types for help, and where the help sends the reader for
// more. One file per system (app/posix/, app/win32/) answers; the build
// takes the target's.
#pragma once

#include <string_view>

namespace app {

// True for a word that asks for the help on this system only, as "/?" on
// Windows, where it can name no file. "-h" and "--help" are every system's.
bool is_system_help_word(std::string_view argument);

// The help's lines for those words, among the options; empty where there are none.
std::string_view system_help_options();

// The survey options' example, as the system's shell continues a line.
std::string_view system_help_example();

// The help's last line: where the rest is told.
std::string_view system_help_closing();

}  // namespace app
