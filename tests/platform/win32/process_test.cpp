#include "platform/process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using test_support::read_bytes;
using test_support::TempDir;
using test_support::write_bytes;

// Each case ends a process: it runs in a child, the test binary started again.
class ProcessEnds : public testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_FALSE(dir_.path().empty());
    }

    std::string path(const char* name) const { return dir_.file(name); }

    test_support::SharedTempDir dir_{"TDP_PROCESS_TEST_DIR"};
};

TEST(ExitStatusFor, TheFullNumberStays) {
    for (const int number : {0, 24, 255, 256, 500, 779, 65536}) EXPECT_EQ(platform::exit_status_for(number), number);
}

// A Windows parent sees all 32 bits of the status.
TEST_F(ProcessEnds, StatusAbove255ReachesTheParent) {
    EXPECT_EXIT(platform::exit_process(500), testing::ExitedWithCode(500), "");
    EXPECT_EXIT(platform::end_process_now(779), testing::ExitedWithCode(779), "");
}

void announce_exit_routine() { std::fputs("exit routine\n", stderr); }

// The normal end runs the exit routines; the immediate one runs nothing.
TEST_F(ProcessEnds, OnlyTheNormalEndRunsExitRoutines) {
    EXPECT_EXIT(
        {
            std::atexit(announce_exit_routine);
            platform::exit_process(3);
        },
        testing::ExitedWithCode(3), "^exit routine\n$");
    EXPECT_EXIT(
        {
            std::atexit(announce_exit_routine);
            platform::end_process_now(4);
        },
        testing::ExitedWithCode(4), "^$");
    EXPECT_EXIT(platform::abort_process(), platform::testing::ended_by_abort, "");
}

// Standard error reopened on a file appends to it; the stream writes in text
// mode (each LF becomes CR LF), the raw write carries the bytes unchanged,
// and both land at the end in the order written.
TEST_F(ProcessEnds, ReopenedStandardErrorInTextAndRawMode) {
    const std::string file = path("fort0.txt");
    write_bytes(file, "earlier\n");
    EXPECT_EXIT(
        {
            if (!platform::reopen_standard_error(file.c_str())) std::exit(1);
            platform::write_standard_error_stream(std::string_view{"line\r\nrow\n"});
            platform::write_standard_error(std::string_view{"raw\r\nrow\n"});
            platform::write_standard_error_stream(std::string_view{"last\n"});
            platform::end_process_now(0);
        },
        testing::ExitedWithCode(0), "^$");
    EXPECT_EQ(read_bytes(file), "earlier\nline\r\r\nrow\r\nraw\r\nrow\nlast\r\n");
}

// A fault's report reopens standard error and writes raw before the stream
// is ever used again; the stream follows it to the file afterwards.
TEST_F(ProcessEnds, RawWriteFirstAfterReopening) {
    const std::string file = path("fort0-raw.txt");
    EXPECT_EXIT(
        {
            if (!platform::reopen_standard_error(file.c_str())) std::exit(1);
            platform::write_standard_error(std::string_view{"raw\r\n"});
            platform::write_standard_error_stream(std::string_view{"stream\n"});
            platform::end_process_now(0);
        },
        testing::ExitedWithCode(0), "^$");
    EXPECT_EQ(read_bytes(file), "raw\r\nstream\r\n");
}

// A file that cannot be opened leaves standard error where it was.
TEST_F(ProcessEnds, UnopenableFileLeavesStandardErrorAlone) {
    const std::string file = path("missing-dir\\x.txt");
    EXPECT_EXIT(
        {
            const bool reopened = platform::reopen_standard_error(file.c_str());
            platform::write_standard_error_stream(reopened ? std::string_view{"moved\n"} : std::string_view{"kept\n"});
            platform::end_process_now(0);
        },
        testing::ExitedWithCode(0), "^kept\n$");
}

// The raw append (the stack-overflow report's) takes the bytes as they are;
// the stream's append is in text mode. Both create the file and keep what it held.
TEST(AppendToFile, RawAndTextMode) {
    TempDir dir;
    const std::string raw = dir.file("raw.log");
    const std::string text = dir.file("text.log");
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(platform::append_to_file(raw.c_str(), std::string_view{"a\r\nb\n"}));
        EXPECT_TRUE(platform::append_to_file_stream(text.c_str(), std::string_view{"a\r\nb\n"}));
    }
    EXPECT_EQ(read_bytes(raw), "a\r\nb\na\r\nb\n");
    EXPECT_EQ(read_bytes(text), "a\r\r\nb\r\na\r\r\nb\r\n");
    const std::string unopenable = dir.file("missing-dir\\x.log");
    EXPECT_FALSE(platform::append_to_file(unopenable.c_str(), std::string_view{"x"}));
    EXPECT_FALSE(platform::append_to_file_stream(unopenable.c_str(), std::string_view{"x"}));
}

// Nothing debugs the tests: no debugger, and the program's own stop in one
// ends the process as an unhandled breakpoint.
TEST_F(ProcessEnds, DebugBreakWithoutADebugger) {
    EXPECT_FALSE(platform::debugger_present());
    EXPECT_EXIT(platform::debug_break(), platform::testing::ended_by_breakpoint, "");
}

}  // namespace
