#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using app::Request;
using app::UsageFault;

app::CommandLine parse(std::vector<const char*> arguments) { return app::parse_command_line(arguments); }

TEST(ParseCommandLine, NamesAndDefaults) {
    struct Case {
        std::vector<const char*> arguments;
        std::string_view input;
        std::string_view output;
    };
    const Case cases[] = {
        {{}, "input.txt", "3dpoint.dxf"},
        {{"survey.txt"}, "survey.txt", "3dpoint.dxf"},
        {{"survey.txt", "out/survey.dxf"}, "survey.txt", "out/survey.dxf"},
        {{"-"}, "-", "3dpoint.dxf"},
        {{"-", "-"}, "-", "-"},
        {{"in.txt", "-"}, "in.txt", "-"},
        // "--" ends the options: what follows is a name, even "-h" or "--".
        {{"--", "-h"}, "-h", "3dpoint.dxf"},
        {{"--", "--", "-x"}, "--", "-x"},
        {{"a", "--", "-b"}, "a", "-b"},
        // Blanks inside a name are the name's.
        {{"in put.txt"}, "in put.txt", "3dpoint.dxf"},
    };
    for (const Case& c : cases) {
        const app::CommandLine command = parse(c.arguments);
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
        EXPECT_EQ(command.request, Request::convert);
        EXPECT_EQ(command.files.input, c.input);
        EXPECT_EQ(command.files.output, c.output);
        // Only the classic run may create its input.
        EXPECT_EQ(command.files.input_must_exist, !c.arguments.empty());
    }
}

TEST(ParseCommandLine, TheFirstOptionDecides) {
    struct Case {
        std::vector<const char*> arguments;
        Request request;
        UsageFault fault;
        std::string_view culprit;
    };
    const Case cases[] = {
        {{"--help"}, Request::help, UsageFault::none, ""},
        {{"-h"}, Request::help, UsageFault::none, ""},
        {{"--version"}, Request::version, UsageFault::none, ""},
        {{"in.txt", "out.dxf", "--help"}, Request::help, UsageFault::none, ""},
        {{"--version", "--help"}, Request::version, UsageFault::none, ""},
        {{"--help", "--bogus"}, Request::help, UsageFault::none, ""},
        {{"--bogus", "--help"}, Request::usage_error, UsageFault::unknown_option, "--bogus"},
        {{"-x"}, Request::usage_error, UsageFault::unknown_option, "-x"},
        {{"-hv"}, Request::usage_error, UsageFault::unknown_option, "-hv"},
        {{"--help=yes"}, Request::usage_error, UsageFault::unknown_option, "--help=yes"},
        {{"-H"}, Request::usage_error, UsageFault::unknown_option, "-H"},
        {{"---"}, Request::usage_error, UsageFault::unknown_option, "---"},
        {{"a", "b", "c"}, Request::usage_error, UsageFault::too_many_names, "c"},
        {{"-", "-", "-"}, Request::usage_error, UsageFault::too_many_names, "-"},
        {{"a", "b", "c", "--help"}, Request::usage_error, UsageFault::too_many_names, "c"},
        {{""}, Request::usage_error, UsageFault::empty_name, ""},
        {{"a", "", "b"}, Request::usage_error, UsageFault::empty_name, ""},
        {{"--", ""}, Request::usage_error, UsageFault::empty_name, ""},
        // The open would drop the blanks and take another file.
        {{"keep.dxf "}, Request::usage_error, UsageFault::blank_edged_name, "keep.dxf "},
        {{"in.txt", " p.txt"}, Request::usage_error, UsageFault::blank_edged_name, " p.txt"},
        {{"   "}, Request::usage_error, UsageFault::blank_edged_name, "   "},
        {{"--", " -"}, Request::usage_error, UsageFault::blank_edged_name, " -"},
        // A script with CR LF line ends, a pasted tab: a name nobody meant.
        {{"in.txt", "o.dxf\r"}, Request::usage_error, UsageFault::control_character_name, "o.dxf\r"},
        {{"\tx.txt"}, Request::usage_error, UsageFault::control_character_name, "\tx.txt"},
        {{"a\nb.txt", "o.dxf"}, Request::usage_error, UsageFault::control_character_name, "a\nb.txt"},
        {{"--", "x\x7f"}, Request::usage_error, UsageFault::control_character_name, "x\x7f"},
    };
    for (const Case& c : cases) {
        const app::CommandLine command = parse(c.arguments);
        SCOPED_TRACE(std::string{c.arguments.front()} + (c.arguments.size() > 1 ? " ..." : ""));
        EXPECT_EQ(command.request, c.request);
        EXPECT_EQ(command.fault, c.fault);
        EXPECT_EQ(command.culprit, c.culprit);
    }
}

TEST(UsageErrorText, OneLineNamingTheCulpritAndHelp) {
    struct Case {
        std::vector<const char*> arguments;
        std::string line;
    };
    const Case cases[] = {
        {{"--bogus"}, "3dpoint: unknown option '--bogus'; see '3dpoint --help'\n"},
        {{"a", "b", "c"}, "3dpoint: too many file names at 'c'; see '3dpoint --help'\n"},
        {{""}, "3dpoint: empty file name; see '3dpoint --help'\n"},
        {{"p.txt "}, "3dpoint: file name 'p.txt ' begins or ends with a blank; see '3dpoint --help'\n"},
        // A line break inside the argument would split the one line; each
        // control character is shown as typed, other bytes as they are.
        {{"-\n\r\tx\x7f\x1b\xc3\xa9"}, "3dpoint: unknown option '-\\n\\r\\tx\\x7f\\x1b\xc3\xa9'; see '3dpoint --help'\n"},
        {{"o.dxf\r"}, "3dpoint: file name 'o.dxf\\r' holds a control character; see '3dpoint --help'\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(app::usage_error_text(parse(c.arguments)), c.line);
}

TEST(VersionText, NameVersionAndCommitWhenKnown) {
    EXPECT_EQ(app::version_text({"1.2.3", "0123456789ab"}), "3dpoint 1.2.3 (commit 0123456789ab)\n");
    EXPECT_EQ(app::version_text({"1.2.3", "0123456789ab-dirty"}), "3dpoint 1.2.3 (commit 0123456789ab-dirty)\n");
    EXPECT_EQ(app::version_text({"0.1", ""}), "3dpoint 0.1\n");
}

TEST(HelpText, StartsWithTheUsageAndEndsItsLastLine) {
    const std::string help = app::help_text();
    EXPECT_EQ(help.substr(0, help.find('\n')), "Usage: 3dpoint [OPTION...] [INPUT [OUTPUT]]");
    EXPECT_EQ(help.back(), '\n');
    for (const std::string_view option : {"--help", "-h", "--version", "TDP_NO_PROGRESS"})
        EXPECT_NE(help.find(option), std::string_view::npos) << option;
}

// An 80-column console wraps a line of 80; Windows ends each line in CR LF,
// and the CR counts where a tool counts the line's characters.
TEST(HelpText, EveryLineFitsAnEightyColumnConsole) {
    const std::string help = app::help_text();
    for (std::size_t at = 0, end; at < help.size(); at = end + 1) {
        end = help.find('\n', at);
        EXPECT_LE(end - at, 78u) << help.substr(at, end - at);
    }
}

}  // namespace
