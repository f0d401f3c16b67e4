#include "reporting/report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "reporting/environment.h"
#include "reporting/error_catalogue.h"
#include "reporting/error_numbers.h"
#include "reporting/fault_context.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "reporting/report_parts.h"
#include "support/temp_dir.h"

namespace {

using platform::testing::set_environment_variable;

std::string compose(std::size_t size, int number, int insert_count, ...) {
    std::vector<char> out(size + 8, '#');
    std::va_list inserts;
    va_start(inserts, insert_count);
    const std::size_t length =
        rt::compose_message_line({out.data(), size}, rt::lookup_error(number), insert_count, inserts);
    va_end(inserts);
    for (std::size_t i = size; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "written past the buffer";
    if (length > 0) {
        EXPECT_EQ(out[length], '\0');
    }
    return {out.data(), length};
}

// The row is chosen by the number modulo 65536; a number without a row is
// severe with the text of 500 under its own number.
TEST(ComposeMessageLine, PrefixTextAndInserts) {
    EXPECT_EQ(compose(16384, 63, 2, 20, "/d/3dpoint.dxf"),
              "forrtl: error (63): output conversion error, unit 20, file /d/3dpoint.dxf\r\n");
    EXPECT_EQ(compose(16384, 65536, 0), "forrtl: operation completed successfully\r\n");
    EXPECT_EQ(compose(16384, 172, 2, 0x1234L, 0x1234L),
              "forrtl: severe (172): Program Exception - exception code = 0x1234 (4660)\r\n");
    EXPECT_EQ(compose(16384, 65536 + 41, 0), "forrtl: severe (41): insufficient virtual memory\r\n");
    EXPECT_EQ(compose(16384, 9999, 0), "forrtl: severe (9999): Message not found\r\n");
    EXPECT_EQ(compose(16384, -1, 0), "forrtl: severe (65535): Message not found\r\n");
    // Without inserts the text stands as it is.
    EXPECT_EQ(compose(16384, 8, 0), "forrtl: severe (8): internal consistency check failure, file %s, line %d\r\n");
}

TEST(ComposeMessageLine, LongInsertIsCutAndTheLineStillEnds) {
    const std::string name(20000, 'n');
    const std::string line = compose(16384, 29, 2, 10, name.c_str());
    ASSERT_EQ(line.size(), 16383u);
    EXPECT_EQ(line.substr(0, 49), "forrtl: severe (29): file not found, unit 10, fil");
    EXPECT_EQ(line.substr(line.size() - 4), "nn\r\n");
}

TEST(ComposeMessageLine, TinyBuffers) {
    EXPECT_EQ(compose(3, 24, 2, 10, "x"), "\r\n");
    EXPECT_EQ(compose(12, 24, 2, 10, "x"), "forrtl: s\r\n");
    EXPECT_EQ(compose(2, 24, 2, 10, "x"), "");
}

std::string system_line(std::size_t size, std::string_view platform_text, std::uint32_t code) {
    std::vector<char> out(size + 8, '#');
    const std::size_t length = rt::compose_system_error_line({out.data(), size}, platform_text, code);
    for (std::size_t i = size; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "written past the buffer";
    return {out.data(), length};
}

TEST(ComposeSystemErrorLine, PlatformTextOrTheSubstituteWithALineBreak) {
    EXPECT_EQ(system_line(1034, "Permission denied\n", 13), "forrtl: Permission denied\n");
    EXPECT_EQ(system_line(1034, "", 4321), "forrtl: FormatMessage failed for sysmem message number 4321\n");
    EXPECT_EQ(system_line(20, "", 4321), "forrtl: FormatMess\n");
    EXPECT_EQ(system_line(12, "Permission denied\n", 13), "forrtl: Per");
    EXPECT_EQ(system_line(9, "", 1), "");
}

TEST(CheckEnvFlag, Values) {
    struct Case {
        const char* value;  // null: unset
        bool expected;
    };
    const Case cases[] = {
        {nullptr, false}, {"", false},     {"00", false},  {"007", true},   {"True", true},
        {"y", true},      {"false", false}, {"n", false},   {"1a", false},   {" 1", false},
        {"-1", false},    {"+1", false},   {"99999999999999999999999", true},
    };
    for (const Case& c : cases) {
        set_environment_variable("TDP_FLAG_UNDER_TEST", c.value);
        EXPECT_EQ(rt::check_env_flag("TDP_FLAG_UNDER_TEST"), c.expected) << (c.value ? c.value : "(unset)");
    }
    set_environment_variable("TDP_FLAG_UNDER_TEST", nullptr);
}

// Reports whose severity lets the program go on come back to the caller; an
// error carries a traceback once a fault context exists.
TEST(ReportError, WarningAndErrorReturn) {
    constexpr char kWarning[] =
        "forrtl: warning (400): f\r\n";
    constexpr char kError[] = "forrtl: error (63): output conversion error, unit 20, file f\r\n";
    struct Case {
        int number;
        bool context;
        const char* line;
        bool traceback;
    };
    const Case cases[] = {{err::kBadTerminatorRule, true, kWarning, false}, {63, true, kError, true}, {63, false, kError, false}};
    for (const Case& c : cases) {
        if (c.context) rt::create_fault_context();
        testing::internal::CaptureStderr();
        // The warning row passes its one text insert through.
        const int returned = c.number == err::kBadTerminatorRule ? rt::report_error(c.number, 1, "f")
                                                                 : rt::report_error(c.number, 2, 20, "f");
        EXPECT_EQ(returned, c.number);
        const std::string text = testing::internal::GetCapturedStderr();
        if (c.context) rt::release_fault_context();
        const std::string line = c.line;
        EXPECT_EQ(text.substr(0, line.size()), line);
        EXPECT_EQ(text.substr(line.size(), 5), c.traceback ? "Image" : "") << text;
    }
}

void announce_clear() { std::fputs("[clear]", stderr); }

// A line kept on standard error by a layer above is cleared before each
// report, before the system error's line as well.
TEST(ReportError, StatusLineIsClearedBeforeEveryReport) {
    const platform::SystemError failed = platform::testing::system_code(platform::ErrorCategory::other);
    char system_text[1024];
    const std::size_t system_length = platform::system_error_text(failed, system_text);
    ASSERT_GT(system_length, 0u);
    rt::set_clear_status_line(announce_clear);
    testing::internal::CaptureStderr();
    rt::report_error(400, 1, "a warning");
    rt::report_io_error(63, {20, "f", failed});
    const std::string text = testing::internal::GetCapturedStderr();
    rt::set_clear_status_line(nullptr);
    EXPECT_EQ(text,
              "[clear]forrtl: warning (400): a warning\r\n"
              "[clear]forrtl: " + std::string(system_text, system_length) +
              "[clear]forrtl: error (63): output conversion error, unit 20, file f\r\n");
}

// Without the 16384-byte buffer the line goes out alone from one of its own
// size; without that either, the out-of-memory notice takes its place.
TEST(ReportError, BufferFallbacks) {
    using platform::testing::ScopedSyscallFailure;
    using platform::testing::Syscall;
    rt::create_fault_context();
    for (const bool persistent : {false, true}) {
        ScopedSyscallFailure no_heap(Syscall::heap, 1, platform::ErrorCategory::out_of_memory, persistent);
        testing::internal::CaptureStderr();
        rt::report_error(63, 2, 20, "/d/3dpoint.dxf");
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  persistent ? "forrtl: insufficient memory to allocate the buffer for message number 63\r\n"
                             : "forrtl: error (63): output conversion error, unit 20, file /d/3dpoint.dxf\r\n");
    }
    const std::string name(20000, 'n');
    ScopedSyscallFailure no_full_buffer(Syscall::heap, 1, platform::ErrorCategory::out_of_memory);
    testing::internal::CaptureStderr();
    rt::report_error(63, 2, 20, name.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "forrtl: error (63): output conversion error, unit 20, file " + name + "\r\n");
    rt::release_fault_context();
}

// The severe path ends the process: each case runs in a child, started
// afresh so that the process-wide once-only state is new.
class SevereReport : public testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_FALSE(dir_.path().empty());
    }

    std::string path(const char* name) const { return dir_.file(name); }
    static std::string read(const std::string& file) { return test_support::read_bytes(file); }

    // The child runs the test again: it must find the parent's directory.
    test_support::SharedTempDir dir_{"TDP_REPORT_TEST_DIR"};
};

// Stands in for the I/O layer's unit pass.
int announce_unit_pass() {
    std::fputs("unit pass\n", stderr);
    return 0;
}

void report_end_of_file() {
    rt::create_fault_context();
    rt::set_unit_pass(announce_unit_pass);
    rt::report_error(24, 2, 10, "/work/input.txt");
}

// Matched in parts: not every platform's death-test regex lets "." cross a
// line end.
TEST_F(SevereReport, EndsWithItsNumberAfterTheUnitPass) {
    EXPECT_EXIT(report_end_of_file(), testing::ExitedWithCode(24),
                testing::AllOf(
                    testing::ContainsRegex("^forrtl: severe \\(24\\): end-of-file during read, unit 10, file "
                                           "/work/input.txt\r\nImage +PC +Routine +Line +Source +\n"),
                    testing::HasSubstr("report_error"), testing::EndsWith("\nunit pass\n")));
}

// 255 where the status has 8 bits; the number itself where it has 32.
TEST_F(SevereReport, NumberAbove255EndsWithWhatTheStatusCarries) {
    EXPECT_EXIT(rt::report_error(1234, 0), testing::ExitedWithCode(platform::exit_status_for(1234)),
                "^forrtl: severe \\(1234\\): Message not found\r\n");
}

// A stack overflow's raw-write report reaches the log too; a log file that
// cannot be opened (its directory is missing) leaves standard error alone.
TEST_F(SevereReport, LogFile) {
    struct Case {
        const char* file;
        int number;
        std::string on_standard_error;
        const char* in_file;  // null: the file stays absent
    };
    const std::string raw_line_end{platform::testing::captured_raw_crlf()};
    const Case cases[] = {
        {"overflow.log", 170, "^forrtl: severe \\(170\\): Program Exception - stack overflow" + raw_line_end + "$",
         "forrtl: severe (170): Program Exception - stack overflow\r\n"},
        {"missing-dir/x.log", 41, "^forrtl: severe \\(41\\): insufficient virtual memory\r\n$", nullptr},
    };
    for (const Case& c : cases) {
        const std::string file = path(c.file);
        EXPECT_EXIT(
            {
                set_environment_variable("FOR_DIAGNOSTIC_LOG_FILE", file.c_str());
                rt::report_error(c.number, 0);
            },
            testing::ExitedWithCode(c.number), c.on_standard_error)
            << c.file;
        if (c.in_file != nullptr)
            EXPECT_EQ(read(file), c.in_file) << c.file;
        else
            EXPECT_FALSE(std::filesystem::exists(file)) << c.file;
    }
}

TEST_F(SevereReport, DumpFlagsTakeTheAbnormalEnd) {
    for (const char* flag : {"f77_dump_flag", "decfort_dump_flag"}) {
        EXPECT_EXIT(
            {
                set_environment_variable(flag, "y");
                rt::report_error(41, 0);
            },
            platform::testing::ended_by_abort, "^forrtl: severe \\(41\\): insufficient virtual memory\r\n")
            << flag;
    }
}

// With a debugger said to be attached, severe and error reports stop in it;
// without a real one the breakpoint trap ends the process.
TEST_F(SevereReport, DebuggerStopsSevereAndErrorReports) {
    const std::pair<const char*, int> cases[] = {{"FOR__IS_DEBUGGER_PRESENT", 41}, {"FOR_DEBUGGER_IS_PRESENT", 63}};
    for (const auto& [variable, number] : cases) {
        EXPECT_EXIT(
            {
                set_environment_variable(variable, "1");
                rt::report_error(number, 2, 20, "f");
            },
            platform::testing::ended_by_breakpoint, "^forrtl: ")
            << variable;
    }
}

}  // namespace
