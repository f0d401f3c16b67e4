// The command line: `3dpoint [INPUT [OUTPUT]]`, --help and --version.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/conversion.h"
#include "app/option_parser.h"
#include "app/survey_choices.h"

namespace app {

enum class Request : std::uint8_t { convert, help, version, usage_error };

enum class UsageFault : std::uint8_t {
    none,
    unknown_option,
    too_many_names,
    empty_name,
    bad_survey_option,
    blank_edged_name,
    control_character_name,
};

struct CommandLine {
    Request request = Request::convert;
    ConversionFiles files;
    UsageFault fault = UsageFault::none;
    std::string_view culprit;  // the argument a usage error names
    SurveyChoices survey;      // all defaults: the classic run
    std::string_view survey_problem;  // what is wrong with a survey option
};

// Where this build comes from, for --version; `commit` is empty when the
// build was not made from a checkout.
struct BuildInfo {
    std::string_view version;
    std::string_view commit;
};

// Exit status of a usage error, the conventional one.
inline constexpr int kUsageErrorStatus = 2;

// `arguments` without the program's own name. Options are taken left to
// right and the first one decides (the system's own help word, "/?" on
// Windows, among them); "--" ends them, so that a name may start
// with "-". Up to two names follow, "-" among them for a standard stream.
CommandLine parse_command_line(std::span<const char* const> arguments);

// The help: the same on every system but for the system's help words and
// where it sends the reader for the rest.
std::string help_text();
std::string version_text(const BuildInfo& build);
// One line naming the fault and --help; control characters of the culprit
// are shown escaped (\r, \t, \x1b) so that the line stays one line and
// shows what was typed.
std::string usage_error_text(const CommandLine& command);

// Answers a request that needs no conversion (help, version, a usage error)
// on standard output or standard error, touching no file. Returns the exit
// status: 0, kUsageErrorStatus, or 1 when the answer could not be written.
int answer_without_converting(const CommandLine& command, const BuildInfo& build);

}  // namespace app
