// The whole conversion with one system call made to fail: for each kind of
// call, the first, then the second, ... until the run no longer makes that
// many calls and succeeds. Every run is a child process with an older output on
// disk, and after each the files and the report must tell the same story:
// - a failure ends with one report whose number is the exit status;
// - the input is never changed;
// - the old output stays whole unless the report is about the output, and
//   then the output is a prefix of the correct one made of whole records;
// - a run that ends with 0 has written exactly the correct output.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion.h"
#include "io/records.h"
#include "platform/testing.h"
#include "reporting/error_numbers.h"
#include "startup/startup.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using test_support::read_bytes;
using test_support::TempDir;
using test_support::write_bytes;

// The kinds of call the loop fails, as the program meets them.
enum class Kind { open, stat, read, write, cut, cut_position, close, heap, pages };

// The one place that speaks the failure seam's language: the `nth` call of
// `kind` from now on fails (with `later`, every call from that one on), with
// an error that no retry absorbs.
void fail_nth_call(Kind kind, int nth, bool later) {
    using platform::testing::Syscall;
    using platform::ErrorCategory;
    const auto fail = [nth, later](Syscall call, ErrorCategory category) {
        platform::testing::fail_syscall(call, nth, category, later);
    };
    switch (kind) {
        case Kind::open: return fail(Syscall::open, ErrorCategory::other);
        case Kind::stat: return fail(Syscall::file_type, ErrorCategory::other);
        case Kind::read: return fail(Syscall::read, ErrorCategory::other);
        case Kind::write: return fail(Syscall::write, ErrorCategory::disk_full);
        case Kind::cut: return fail(Syscall::cut, ErrorCategory::other);
        case Kind::cut_position: return fail(Syscall::seek, ErrorCategory::other);
        case Kind::close: return fail(Syscall::close, ErrorCategory::other);
        case Kind::heap: return fail(Syscall::heap, ErrorCategory::out_of_memory);
        case Kind::pages: return fail(Syscall::pages, ErrorCategory::out_of_memory);
    }
}

struct KindCase {
    const char* name;
    Kind kind;
    std::vector<int> numbers;  // what a failure of this kind may be reported as
    bool met;                  // a run meets at least one such call
};

const KindCase kKinds[] = {
    {"open", Kind::open, {err::kOpenFailure}, true},
    {"stat", Kind::stat, {err::kOpenFailure}, true},
    {"read", Kind::read, {err::kReadError}, true},
    // A write of records kept for the close fails the close.
    {"write", Kind::write, {err::kWriteError, err::kCloseError}, true},
    {"cut", Kind::cut, {err::kWriteError}, true},
    {"cut position", Kind::cut_position, {err::kWriteError}, true},
    {"close", Kind::close, {err::kCloseError}, true},
    {"heap", Kind::heap, {err::kNoMemory, err::kNoBufferMemory}, true},
    // The arrays of a short list come from the heap.
    {"pages", Kind::pages, {err::kNoMemory}, false},
};

struct Mode {
    const char* name;
    std::vector<std::pair<const char*, const char*>> env;
};

// Buffered with the smallest blocks: the input comes in several reads and
// the output in several writes, with records left for the close.
const Mode kModes[] = {
    {"unbuffered", {}},
    {"buffered", {{"FORT_BUFFERED", "y"}, {"FORT_BLOCKSIZE", "512"}}},
};

// Twenty points, more than one 512-byte block of input.
std::string point_list() {
    std::string text = "20\n";
    for (int i = 1; i <= 20; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%d.25 -%d.5 %d.125e1\n", i * 37, i * 11, i);
        text += line;
    }
    return text;
}

// Longer than the new output, so that an uncut tail would show.
std::string old_output() {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "old line " + std::to_string(i) + "\r\n";
    return text;
}

void clear_own_variables() {
    std::vector<std::string> names;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text{*entry};
        const std::string_view name = text.substr(0, text.find('='));
        for (const std::string_view prefix : {"FOR", "TBK", "f77_", "decfort_"})
            if (name.starts_with(prefix)) names.emplace_back(name);
    }
    for (const std::string& name : names) ::unsetenv(name.c_str());
}

struct Outcome {
    int status = -1;
    std::string report;
    std::string output;
    std::string input;
};

class FailureLoop : public ::testing::Test {
protected:
    // One run of the whole program in a child; `nth` 0 fails nothing.
    Outcome run(const Mode& mode, Kind kind, int nth, bool later = false) {
        write_bytes(work.file("input.txt"), input);
        write_bytes(work.file("3dpoint.dxf"), old);
        const std::string report_path = side.file("stderr");
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(60);  // a run that hangs ends the child, not the suite
            const int report = ::open(report_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (report < 0 || ::dup2(report, STDERR_FILENO) < 0 || ::chdir(work.path().c_str()) != 0) ::_exit(250);
            clear_own_variables();
            for (const auto& [name, value] : mode.env) ::setenv(name, value, 1);
            if (nth > 0) fail_nth_call(kind, nth, later);
            char name[] = "3dpoint";
            char* argv[] = {name, nullptr};
            std::exit(rt::process_entry(1, argv, [] { app::run_conversion(); }, io::close_all_units));
        }
        Outcome outcome;
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        outcome.report = read_bytes(report_path);
        outcome.output = read_bytes(work.file("3dpoint.dxf"));
        outcome.input = read_bytes(work.file("input.txt"));
        return outcome;
    }

    // What every run must show; `correct` is the untouched run's output.
    void check(const Outcome& got, const KindCase& kind, const std::string& correct, const std::string& what) {
        ASSERT_LT(got.status, 1000) << what << ": ended by signal " << got.status - 1000 << "\n" << got.report;
        EXPECT_EQ(got.input, input) << what << ": the input changed";
        if (got.status == 0) {
            EXPECT_EQ(got.output, correct) << what << ": success with another output";
            EXPECT_EQ(got.report, "") << what;
            return;
        }
        static const std::regex severe{"forrtl: severe \\(([0-9]+)\\): ([^\r]*)\r\n"};
        const auto first = std::sregex_iterator(got.report.begin(), got.report.end(), severe);
        ASSERT_EQ(std::distance(first, std::sregex_iterator()), 1) << what << ": not one report\n" << got.report;
        const int number = std::stoi((*first)[1].str());
        EXPECT_EQ(number, got.status) << what;
        EXPECT_NE(std::find(kind.numbers.begin(), kind.numbers.end(), number), kind.numbers.end())
            << what << ": reported as " << number << "\n" << got.report;
        EXPECT_EQ(got.report.find("forrtl: error"), std::string::npos) << what << "\n" << got.report;
        if (got.output == old) return;
        // Only a failure on the output may have changed it.
        EXPECT_NE((*first)[2].str().find("unit 20,"), std::string::npos)
            << what << ": the old output changed by a failure elsewhere\n" << got.report;
        EXPECT_TRUE(correct.starts_with(got.output)) << what << ": not a prefix of the correct output";
        EXPECT_TRUE(got.output.empty() || got.output.ends_with("\r\n")) << what << ": a cut record";
    }

    TempDir work;  // the program's current directory
    TempDir side;  // its standard error
    const std::string input = point_list();
    const std::string old = old_output();
};

TEST_F(FailureLoop, EveryCallOfEveryKindFailsOnceInTurn) {
    int runs = 0;
    for (const Mode& mode : kModes) {
        const Outcome untouched = run(mode, Kind::open, 0);
        ++runs;
        ASSERT_EQ(untouched.status, 0) << mode.name << "\n" << untouched.report;
        const std::string& correct = untouched.output;
        ASSERT_TRUE(correct.starts_with("  0\r\nSECTION\r\n")) << mode.name;
        for (const KindCase& kind : kKinds) {
            int nth = 1;
            for (;; ++nth) {
                const std::string what = std::string(mode.name) + ", " + kind.name + " #" + std::to_string(nth);
                const Outcome got = run(mode, kind.kind, nth);
                ++runs;
                check(got, kind, correct, what);
                if (HasFatalFailure()) break;
                // A run can succeed although its nth call failed, when the
                // failure was absorbed; it is the last only if failing every
                // call from the nth on changes nothing either.
                if (got.status == 0) {
                    ++runs;
                    if (run(mode, kind.kind, nth, true).status == 0) break;
                }
                ASSERT_LT(nth, 5000) << what << ": never succeeds";
            }
            if (HasFatalFailure()) return;
            if (kind.met) {
                EXPECT_GT(nth, 1) << mode.name << ", " << kind.name << ": no call failed";
            }
        }
    }
    RecordProperty("runs", runs);
    std::printf("[ runs     ] %d runs of the whole program\n", runs);
}

}  // namespace
