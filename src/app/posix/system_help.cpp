#include "app/system_help.h"

namespace app {

// A slash starts a path here, never an option.
bool is_system_help_word(std::string_view) { return false; }

std::string_view system_help_options() { return {}; }

std::string_view system_help_example() {
    return "  Example: 3dpoint --columns pnezd --labels name,elevation --layers \\\n"
           "               survey.csv survey.dxf\n"
           "\n";
}

// The package installs the manual page.
std::string_view system_help_closing() { return "The manual page 3dpoint(1) tells the rest.\n"; }

}  // namespace app
