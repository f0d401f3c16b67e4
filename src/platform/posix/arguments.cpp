#include "platform/arguments.h"

namespace platform {

// The bytes of the command line are the names of the files: nothing to convert.
ProgramArguments::ProgramArguments(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) words_.push_back(argv[i]);
}

std::span<const char* const> ProgramArguments::after_name() const {
    if (words_.empty()) return {};
    return std::span<const char* const>{words_}.subspan(1);
}

}  // namespace platform
