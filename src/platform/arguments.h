// The program's arguments as UTF-8 text, whatever form the system hands them
// in: Windows gives the C run-time's arguments in the ANSI code page, where a
// name in another script arrives as question marks, so its backend takes the
// wide-character arguments instead.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace platform {

class ProgramArguments {
public:
    // `argc` and `argv` as main received them.
    ProgramArguments(int argc, char** argv);

    // The arguments after the program's own name, living as long as this object.
    std::span<const char* const> after_name() const;

private:
    std::vector<std::string> owned_;  // the converted text, where there is any
    std::vector<const char*> words_;  // the program's name first
};

}  // namespace platform
