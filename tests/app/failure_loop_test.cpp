// The whole conversion with one system call made to fail: for each kind of
// call, the first, then the second, ... until the run no longer makes that
// many calls and succeeds. Every run is a child process with an older output on
// disk, and after each the files and the report must tell the same story:
// - a failure ends with one report whose number is the exit status;
// - the input is never changed;
// - the old output stays whole unless the report is about the output, and
//   then the output is a prefix of the correct one made of whole records;
// - a run that ends with 0 has written exactly the correct output.
// The child is this test program started again, so that the loop runs on
// every system (under Wine too, where a report's line ends in CR CR LF).
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion.h"
#include "app/option_parser.h"
#include "app/run_plan.h"
#include "io/open_close_unit.h"
#include "platform/testing.h"
#include "reporting/error_numbers.h"
#include "startup/startup.h"
#include "support/temp_dir.h"

namespace {

using test_support::read_bytes;
using test_support::TempDir;
using test_support::write_bytes;

// The kinds of call the loop fails, as the program meets them.
enum class Kind { open, stat, read, write, cut, cut_position, close, heap, pages };

// What the parent tells the child: the run's mode, kind, nth and later.
constexpr char kRunVariable[] = "TDP_FAILURE_LOOP_RUN";

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
    bool met;                  // a run meets at least one such call, where the system makes it
};

const KindCase kKinds[] = {
    {"open", Kind::open, {err::kOpenFailure}, true},
    {"stat", Kind::stat, {err::kOpenFailure}, true},
    {"read", Kind::read, {err::kReadError}, true},
    // A write of records kept for the close fails the close.
    {"write", Kind::write, {err::kWriteError, err::kCloseError}, true},
    {"cut", Kind::cut, {err::kWriteError}, true},
    // Windows cuts where the handle stands, with no call to find the position.
    {"cut position", Kind::cut_position, {err::kWriteError},
     platform::testing::makes_call(platform::testing::Syscall::seek)},
    {"close", Kind::close, {err::kCloseError}, true},
    {"heap", Kind::heap, {err::kNoMemory, err::kNoBufferMemory}, true},
    // The arrays of a short list come from the heap.
    {"pages", Kind::pages, {err::kNoMemory}, false},
};

struct Mode {
    const char* name;
    std::vector<std::pair<const char*, const char*>> env;
    bool survey = false;  // a named point table with labels, layers and decimals
};

// Buffered with the smallest blocks: the input comes in several reads and
// the output in several writes, with records left for the close.
const Mode kModes[] = {
    {"unbuffered", {}},
    {"buffered", {{"FORT_BUFFERED", "y"}, {"FORT_BLOCKSIZE", "512"}}},
    {"survey, buffered", {{"FORT_BUFFERED", "y"}, {"FORT_BLOCKSIZE", "512"}}, true},
};

// The survey mode's plan, as its command line would make it.
app::RunPlan survey_plan() {
    const char* const arguments[] = {"--columns", "pxyzd", "--labels", "--layers", "--decimals", "3", "--extents"};
    app::SurveyChoices choices;
    for (std::size_t at = 0; at < std::size(arguments); ++at) {
        app::OptionProblem problem;
        if (app::take_survey_option(arguments, at, choices, problem) != app::OptionOutcome::taken) std::abort();
    }
    return app::resolve_run_plan(choices);
}

// Twenty points, more than one 512-byte block of input; as a table, each
// with a name and a code of three layers.
std::string point_list(bool table) {
    std::string text = table ? "" : "20\n";
    for (int i = 1; i <= 20; ++i) {
        char line[64];
        if (table) std::snprintf(line, sizeof line, "P%d %d.25 -%d.5 %d.125e1 code%d\n", i, i * 37, i * 11, i, i % 3);
        else std::snprintf(line, sizeof line, "%d.25 -%d.5 %d.125e1\n", i * 37, i * 11, i);
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
    for (const std::string& name : platform::testing::environment_names())
        for (const std::string_view prefix : {"FOR", "TBK", "f77_", "decfort_"})
            if (name.starts_with(prefix)) platform::testing::set_environment_variable(name.c_str(), nullptr);
}

struct SevereLine {
    int number = 0;
    std::string_view text;  // after "): "
};

// The "forrtl: severe (N): text" lines of a report. A line ends in LF, CR LF
// or, from Windows' text-mode stream, CR CR LF.
std::vector<SevereLine> severe_lines(std::string_view report) {
    constexpr std::string_view kHead = "forrtl: severe (";
    std::vector<SevereLine> found;
    while (!report.empty()) {
        const std::size_t end = report.find('\n');
        std::string_view line = report.substr(0, end);
        report.remove_prefix(end == std::string_view::npos ? report.size() : end + 1);
        while (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.starts_with(kHead)) continue;
        line.remove_prefix(kHead.size());
        SevereLine severe;
        const auto [rest, error] = std::from_chars(line.data(), line.data() + line.size(), severe.number);
        const std::string_view after{rest, static_cast<std::size_t>(line.data() + line.size() - rest)};
        if (error != std::errc{} || !after.starts_with("): ")) continue;
        severe.text = after.substr(3);
        found.push_back(severe);
    }
    return found;
}

TEST(SevereLines, EveryLineEndAndNothingElse) {
    const auto lines = severe_lines(
        "forrtl: Disk full.\r\r\nforrtl: severe (38): error during write, unit 20, file Z:\\a.dxf\r\r\n"
        "Image  PC\r\nforrtl: severe (24): end\r\nforrtl: severe (x): no\nforrtl: severe (9) no\n"
        " forrtl: severe (1): inside\nforrtl: severe (41): last");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 38);
    EXPECT_EQ(lines[0].text, "error during write, unit 20, file Z:\\a.dxf");
    EXPECT_EQ(lines[1].number, 24);
    EXPECT_EQ(lines[1].text, "end");
    EXPECT_EQ(lines[2].number, 41);
    EXPECT_EQ(lines[2].text, "last");
}

// The child's side: a test the loop alone runs, in a process of its own.
TEST(FailureLoopChild, DISABLED_Run) {
    const char* run = std::getenv(kRunVariable);
    ASSERT_NE(run, nullptr) << "run by the failure loop only";
    unsigned mode = 0, kind = 0, later = 0;
    int nth = 0;
    ASSERT_EQ(std::sscanf(run, "%u %u %d %u", &mode, &kind, &nth, &later), 4) << run;
    ASSERT_LT(mode, std::size(kModes));
    platform::testing::set_environment_variable(kRunVariable, nullptr);
    clear_own_variables();
    for (const auto& [name, value] : kModes[mode].env) platform::testing::set_environment_variable(name, value);
    if (nth > 0) fail_nth_call(static_cast<Kind>(kind), nth, later != 0);
    char name[] = "3dpoint";
    char* argv[] = {name, nullptr};
    if (kModes[mode].survey) {
        static const app::RunPlan plan = survey_plan();
        std::exit(rt::process_entry(1, argv, [] { app::run_conversion({}, plan); }, io::close_all_units));
    }
    std::exit(rt::process_entry(1, argv, [] { app::run_conversion(); }, io::close_all_units));
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
    Outcome run(std::size_t mode, Kind kind, int nth, bool later = false) {
        input = point_list(kModes[mode].survey);
        write_bytes(work.file("input.txt"), input);
        write_bytes(work.file("3dpoint.dxf"), old);
        const std::string report_path = side.file("stderr");
        char orders[64];
        std::snprintf(orders, sizeof orders, "%zu %d %d %d", mode, static_cast<int>(kind), nth, later ? 1 : 0);
        platform::testing::set_environment_variable(kRunVariable, orders);
        const std::string arguments[] = {"--gtest_also_run_disabled_tests", "--gtest_filter=FailureLoopChild.DISABLED_Run"};
        Outcome outcome;
        outcome.status = platform::testing::run_this_program(arguments, work.path().string(), report_path);
        platform::testing::set_environment_variable(kRunVariable, nullptr);
        outcome.report = read_bytes(report_path);
        outcome.output = read_bytes(work.file("3dpoint.dxf"));
        outcome.input = read_bytes(work.file("input.txt"));
        return outcome;
    }

    // What every run must show; `correct` is the untouched run's output.
    void check(const Outcome& got, const KindCase& kind, const std::string& correct, const std::string& what) {
        ASSERT_GE(got.status, 0) << what << ": ended by a signal or an exception, or hung\n" << got.report;
        EXPECT_EQ(got.input, input) << what << ": the input changed";
        if (got.status == 0) {
            EXPECT_EQ(got.output, correct) << what << ": success with another output";
            EXPECT_EQ(got.report, "") << what;
            return;
        }
        const std::vector<SevereLine> severe = severe_lines(got.report);
        ASSERT_EQ(severe.size(), 1u) << what << ": not one report\n" << got.report;
        const int number = severe.front().number;
        EXPECT_EQ(number, got.status) << what;
        EXPECT_NE(std::find(kind.numbers.begin(), kind.numbers.end(), number), kind.numbers.end())
            << what << ": reported as " << number << "\n" << got.report;
        EXPECT_EQ(got.report.find("forrtl: error"), std::string::npos) << what << "\n" << got.report;
        if (got.output == old) return;
        // Only a failure on the output may have changed it.
        EXPECT_NE(severe.front().text.find("unit 20,"), std::string_view::npos)
            << what << ": the old output changed by a failure elsewhere\n" << got.report;
        EXPECT_TRUE(correct.starts_with(got.output)) << what << ": not a prefix of the correct output";
        EXPECT_TRUE(got.output.empty() || got.output.ends_with("\r\n")) << what << ": a cut record";
    }

    TempDir work;  // the program's current directory
    TempDir side;  // its standard error
    std::string input;
    const std::string old = old_output();
};

TEST_F(FailureLoop, EveryCallOfEveryKindFailsOnceInTurn) {
    int runs = 0;
    for (std::size_t mode_index = 0; mode_index < std::size(kModes); ++mode_index) {
        const Mode& mode = kModes[mode_index];
        const Outcome untouched = run(mode_index, Kind::open, 0);
        ++runs;
        ASSERT_EQ(untouched.status, 0) << mode.name << "\n" << untouched.report;
        const std::string& correct = untouched.output;
        ASSERT_TRUE(correct.starts_with("  0\r\nSECTION\r\n")) << mode.name;
        for (const KindCase& kind : kKinds) {
            int nth = 1;
            for (;; ++nth) {
                const std::string what = std::string(mode.name) + ", " + kind.name + " #" + std::to_string(nth);
                const Outcome got = run(mode_index, kind.kind, nth);
                ++runs;
                check(got, kind, correct, what);
                if (HasFatalFailure()) break;
                // A run can succeed although its nth call failed, when the
                // failure was absorbed; it is the last only if failing every
                // call from the nth on changes nothing either.
                if (got.status == 0) {
                    ++runs;
                    if (run(mode_index, kind.kind, nth, true).status == 0) break;
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
