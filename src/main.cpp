#include <span>

#include "app/command_line.h"
#include "app/conversion.h"
#include "app/survey_conversion.h"
#include "build_info.h"
#include "io/records.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
    // After the program's own name; argv[argc] exists even when argc is 0.
    const std::size_t given = argc > 1 ? static_cast<std::size_t>(argc - 1) : 0;
    const app::CommandLine command = app::parse_command_line(std::span<const char* const>{argv + 1, given});
    if (command.request != app::Request::convert)
        return app::answer_without_converting(command, {build_info::kVersion, build_info::kCommit});

    // The driver takes no arguments: the names and choices reach it through these constants.
    static const app::ConversionFiles files = command.files;
    static const app::SurveyChoices survey = command.survey;
    return rt::process_entry(argc, argv, [] { app::run_chosen_conversion(files, survey); }, io::close_all_units);
}
