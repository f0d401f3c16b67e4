#include "app/command_line.h"

#include <algorithm>

#include "app/survey_help.h"
#include "app/system_help.h"
#include "platform/terminal.h"

namespace app {
namespace {

// The help is the common head, the system's help words, the common options,
// the survey options, what a run does, and the system's closing line.
constexpr std::string_view kHelpHead =
    "Usage: 3dpoint [OPTION...] [INPUT [OUTPUT]]\n"
    "Convert a list of 3-D points into a DXF drawing with one POINT per point.\n"
    "\n"
    "  INPUT     the point list, which must exist when named\n"
    "            (default input.txt, created empty when missing)\n"
    "  OUTPUT    the drawing (default 3dpoint.dxf, replaced when it exists)\n"
    "            '-' reads standard input or writes standard output\n"
    "\n"
    "  -h, --help     show this help and exit\n";

constexpr std::string_view kCommonOptions =
    "      --version  show the version and exit\n"
    "      --         take what follows as file names, even when it starts with '-'\n"
    "\n";

constexpr std::string_view kHelpTail =
    "The point list holds the number of points, then x, y and z of each point.\n"
    "A failed run reports a number on standard error and exits with it.\n"
    "On a terminal a long run shows its progress; TDP_NO_PROGRESS turns that off.\n"
    "FORT_BUFFERED=yes makes the classic run write in blocks, many times faster.\n";

bool is_option(std::string_view argument) { return argument.size() > 1 && argument.front() == '-'; }

CommandLine usage_error(UsageFault fault, std::string_view culprit) {
    CommandLine command;
    command.request = Request::usage_error;
    command.fault = fault;
    command.culprit = culprit;
    return command;
}

CommandLine survey_usage_error(const OptionProblem& problem) {
    CommandLine command = usage_error(UsageFault::bad_survey_option, problem.culprit);
    command.survey_problem = problem.what;
    return command;
}

bool is_control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

std::string shown_argument(std::string_view argument) {
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string shown;
    for (const char c : argument) {
        if (!is_control(c)) {
            shown += c;
            continue;
        }
        shown += '\\';
        switch (c) {
            case '\r': shown += 'r'; break;
            case '\n': shown += 'n'; break;
            case '\t': shown += 't'; break;
            default:
                shown += 'x';
                shown += kHex[static_cast<unsigned char>(c) >> 4];
                shown += kHex[static_cast<unsigned char>(c) & 0xf];
        }
    }
    return shown;
}

bool is_help_word(std::string_view argument) {
    return argument == "-h" || argument == "--help" || is_system_help_word(argument);
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> arguments) {
    CommandLine command;
    std::string_view names[2];
    std::size_t name_count = 0;
    bool options_ended = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (!options_ended && is_help_word(argument)) {
            command.request = Request::help;
            return command;
        }
        if (!options_ended && is_option(argument)) {
            if (argument == "--") {
                options_ended = true;
                continue;
            }
            if (argument == "--version") {
                command.request = Request::version;
                return command;
            }
            OptionProblem problem;
            const OptionOutcome survey = take_survey_option(arguments, at, command.survey, problem);
            if (survey == OptionOutcome::taken) continue;
            if (survey == OptionOutcome::fault) return survey_usage_error(problem);
            return usage_error(UsageFault::unknown_option, argument);
        }
        // An empty name names no file; the I/O layer would take it for the directory.
        if (argument.empty()) return usage_error(UsageFault::empty_name, argument);
        // The open drops outer blanks, as the classic run needs: a typed name
        // with them would open another file than the one given.
        if (argument.front() == ' ' || argument.back() == ' ') return usage_error(UsageFault::blank_edged_name, argument);
        // A script saved with CR LF line ends passes "o.dxf\r": a file named
        // so is one nobody meant, and one no listing shows as it is.
        if (std::ranges::any_of(argument, is_control)) return usage_error(UsageFault::control_character_name, argument);
        if (name_count == 2) return usage_error(UsageFault::too_many_names, argument);
        names[name_count++] = argument;
    }
    if (OptionProblem problem; !survey_choices_agree(command.survey, problem)) return survey_usage_error(problem);
    if (name_count > 0) {
        command.files.input = names[0];
        command.files.input_must_exist = true;
    }
    if (name_count > 1) command.files.output = names[1];
    return command;
}

std::string help_text() {
    std::string text{kHelpHead};
    text += system_help_options();
    text += kCommonOptions;
    text += kSurveyHelp;
    text += system_help_example();
    text += kHelpTail;
    text += system_help_closing();
    return text;
}

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
        case UsageFault::bad_survey_option:
            text += std::string{command.survey_problem} + " '" + shown_argument(command.culprit) + "'";
            break;
        case UsageFault::blank_edged_name:
            text += "file name '" + shown_argument(command.culprit) + "' begins or ends with a blank";
            break;
        case UsageFault::control_character_name:
            text += "file name '" + shown_argument(command.culprit) + "' holds a control character";
            break;
        case UsageFault::none: text += "no usage error"; break;
    }
    text += "; see '3dpoint --help'\n";
    return text;
}

int answer_without_converting(const CommandLine& command, const BuildInfo& build) {
    switch (command.request) {
        case Request::usage_error: {
            platform::write_user_text(platform::StandardStream::error, usage_error_text(command));
            return kUsageErrorStatus;
        }
        case Request::help:
        case Request::version: {
            const std::string text = command.request == Request::help ? help_text() : version_text(build);
            if (platform::write_user_text(platform::StandardStream::output, text)) return 0;
            platform::write_user_text(platform::StandardStream::error, "3dpoint: cannot write to standard output\n");
            return 1;
        }
        case Request::convert: break;
    }
    return 0;
}

}  // namespace app
