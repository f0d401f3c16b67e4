#include <span>

#include "app/command_line.h"
#include "app/conversion.h"
#include "app/run_plan.h"
#include "build_info.h"
#include "io/open_close_unit.h"
#include "platform/arguments.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
    // As UTF-8, whatever the system's own form; kept for the whole run, as
    // the names of the command line point into it.
    static const platform::ProgramArguments arguments{argc, argv};
    const app::CommandLine command = app::parse_command_line(arguments.after_name());
    if (command.request != app::Request::convert)
        return app::answer_without_converting(command, {build_info::kVersion, build_info::kCommit});

    // The driver takes no arguments: the names and the plan reach it through
    // these constants. No option gives the classic plan.
    static const app::ConversionFiles files = command.files;
    static const app::RunPlan plan = app::resolve_run_plan(command.survey);
    return rt::process_entry(argc, argv, [] { app::run_conversion(files, plan); }, io::close_all_units);
}
