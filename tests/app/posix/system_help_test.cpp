// The command line on POSIX: a slash starts a path, and the manual page is installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

TEST(PosixCommandLine, SlashWordsAreNames) {
    const std::vector<const char*> arguments = {"/?"};
    const app::CommandLine command = app::parse_command_line(arguments);
    EXPECT_EQ(command.request, app::Request::convert);
    EXPECT_EQ(command.files.input, "/?");
}

TEST(PosixCommandLine, TheHelpNamesTheManualPage) {
    const std::string help = app::help_text();
    EXPECT_TRUE(help.ends_with("\nThe manual page 3dpoint(1) tells the rest.\n")) << help;
    EXPECT_EQ(help.find("/?"), std::string::npos);
}

}  // namespace
