#include "platform/environment.h"

#include <cstdlib>

namespace platform {

// The environment is bytes here, names and all, as the files' names are.
const char* environment_text(const char* name) { return std::getenv(name); }

}  // namespace platform
