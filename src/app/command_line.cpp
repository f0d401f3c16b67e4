#include "app/command_line.h"

#include "platform/files.h"
#include "platform/process.h"
#include "platform/terminal.h"

namespace app {
namespace {

constexpr std::string_view kHelp =
    "Usage: 3dpoint [INPUT [OUTPUT]]\n"
    "Convert a list of 3-D points into a DXF drawing with one POINT per point.\n"
    "\n"
    "  INPUT     the point list, which must exist when named\n"
    "            (default input.txt, created empty when missing)\n"
    "  OUTPUT    the drawing (default 3dpoint.dxf, replaced when it exists)\n"
    "            '-' reads standard input or writes standard output\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "      --         take what follows as file names, even when it starts with '-'\n"
    "\n"
    "The point list holds the number of points, then x, y and z of each point.\n"
    "A failed run reports a number on standard error and exits with it.\n"
    "On a terminal a long run shows its progress; TDP_NO_PROGRESS turns that off.\n"
    "The manual page 3dpoint(1) tells the rest.\n";

bool is_option(std::string_view argument) { return argument.size() > 1 && argument.front() == '-'; }

CommandLine usage_error(UsageFault fault, std::string_view culprit) {
    CommandLine command;
    command.request = Request::usage_error;
    command.fault = fault;
    command.culprit = culprit;
    return command;
}

std::string shown_argument(std::string_view argument) {
    std::string shown{argument};
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return shown;
}

bool write_standard_output(std::string_view text) {
    return platform::write_file(platform::standard_handle(platform::StandardStream::output), text).error == 0;
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> arguments) {
    CommandLine command;
    std::string_view names[2];
    std::size_t name_count = 0;
    bool options_ended = false;
    for (const char* raw : arguments) {
        const std::string_view argument = raw;
        if (!options_ended && is_option(argument)) {
            if (argument == "--") {
                options_ended = true;
                continue;
            }
            if (argument == "-h" || argument == "--help") {
                command.request = Request::help;
                return command;
            }
            if (argument == "--version") {
                command.request = Request::version;
                return command;
            }
            return usage_error(UsageFault::unknown_option, argument);
        }
        // An empty name names no file; the I/O layer would take it for the directory.
        if (argument.empty()) return usage_error(UsageFault::empty_name, argument);
        // The open drops outer blanks, as the classic run needs: a typed name
        // with them would open another file than the one given.
        if (argument.front() == ' ' || argument.back() == ' ') return usage_error(UsageFault::blank_edged_name, argument);
        if (name_count == 2) return usage_error(UsageFault::too_many_names, argument);
        names[name_count++] = argument;
    }
    if (name_count > 0) {
        command.files.input = names[0];
        command.files.input_must_exist = true;
    }
    if (name_count > 1) command.files.output = names[1];
    return command;
}

std::string_view help_text() { return kHelp; }

std::string version_text(const BuildInfo& build) {
    std::string text = "3dpoint ";
    text += build.version;
    if (!build.commit.empty()) {
        text += " (commit ";
        text += build.commit;
        text += ')';
    }
    text += '\n';
    return text;
}

std::string usage_error_text(const CommandLine& command) {
    std::string text = "3dpoint: ";
    switch (command.fault) {
        case UsageFault::unknown_option: text += "unknown option '" + shown_argument(command.culprit) + "'"; break;
        case UsageFault::too_many_names:
            text += "too many file names at '" + shown_argument(command.culprit) + "'";
            break;
        case UsageFault::empty_name: text += "empty file name"; break;
        case UsageFault::blank_edged_name:
            text += "file name '" + shown_argument(command.culprit) + "' begins or ends with a blank";
            break;
        case UsageFault::none: text += "no usage error"; break;
    }
    text += "; see '3dpoint --help'\n";
    return text;
}

int answer_without_converting(const CommandLine& command, const BuildInfo& build) {
    switch (command.request) {
        case Request::usage_error: {
            const std::string text = usage_error_text(command);
            platform::write_standard_error(text);
            return kUsageErrorStatus;
        }
        case Request::help:
        case Request::version: {
            const std::string text = command.request == Request::help ? std::string{help_text()} : version_text(build);
            if (write_standard_output(text)) return 0;
            platform::write_standard_error(std::string_view{"3dpoint: cannot write to standard output\n"});
            return 1;
        }
        case Request::convert: break;
    }
    return 0;
}

}  // namespace app
