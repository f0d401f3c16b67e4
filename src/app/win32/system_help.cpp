#include "app/system_help.h"

namespace app {

// "/?" is the help of every Windows program, and no file can be named so.
// Other slash words ("/h") are paths relative to the drive's root, and stay names.
bool is_system_help_word(std::string_view argument) { return argument == "/?"; }

std::string_view system_help_options() { return "  /?             the same, as Windows programs take it\n"; }

// cmd continues a line with '^'.
std::string_view system_help_example() {
    return "  Example: 3dpoint --columns pnezd --labels name,elevation --layers ^\n"
           "               survey.csv survey.dxf\n"
           "\n";
}

// Windows has no manual pages; the ZIP carries the README beside the program.
std::string_view system_help_closing() { return "README.txt, in the ZIP that holds 3dpoint.exe, tells the rest.\n"; }

}  // namespace app
