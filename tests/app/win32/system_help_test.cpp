// The command line as Windows users type it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

TEST(WindowsCommandLine, SlashQuestionMarkIsTheHelpOtherSlashWordsAreNames) {
    struct Case {
        std::vector<const char*> arguments;
        app::Request request;
        std::string_view input;
    };
    const Case cases[] = {
        {{"/?"}, app::Request::help, "input.txt"},
        {{"in.txt", "/?"}, app::Request::help, "input.txt"},
        {{"/h"}, app::Request::convert, "/h"},
        {{"/help"}, app::Request::convert, "/help"},
        {{"/??"}, app::Request::convert, "/??"},
        {{"--", "/?"}, app::Request::convert, "/?"},
    };
    for (const Case& c : cases) {
        const app::CommandLine command = app::parse_command_line(c.arguments);
        EXPECT_EQ(command.request, c.request) << c.arguments.back();
        EXPECT_EQ(command.files.input, c.input) << c.arguments.back();
    }
}

TEST(WindowsCommandLine, TheHelpNamesWhatWindowsHas) {
    const std::string help = app::help_text();
    EXPECT_NE(help.find("  /?  "), std::string::npos);
    EXPECT_TRUE(help.ends_with("\nREADME.txt, in the ZIP that holds 3dpoint.exe, tells the rest.\n")) << help;
    EXPECT_EQ(help.find("3dpoint(1)"), std::string::npos);
}

}  // namespace
