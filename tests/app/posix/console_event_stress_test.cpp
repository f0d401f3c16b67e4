// Console events at random moments of whole conversions, each run in a child
// process: whatever the moment, one report, the event's exit status, and a
// 3dpoint.dxf that is the old file untouched or a prefix of the correct
// output made of whole records. Never a second report, never an end by the
// signal itself. TDP_EVENT_TRIES sets the number of runs (300 by default).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "app/conversion.h"
#include "io/records.h"
#include "startup/startup.h"
#include "support/temp_dir.h"

namespace {

using test_support::read_bytes;
using test_support::TempDir;
using test_support::write_bytes;

constexpr int kPoints = 2000;
constexpr char kOldFile[] = "old file, to be kept when the input is interrupted\r\n";

struct Event {
    int signal;
    int status;
    const char* name;
};
constexpr Event kEvents[] = {{SIGINT, 200, "control-C"}, {SIGQUIT, 1, "control-BREAK"}, {SIGHUP, 2, "window-CLOSE"}};

std::string point_list() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-100000, 100000);
    std::string text = std::to_string(kPoints) + "\n";
    for (int i = 0; i < kPoints; ++i)
        for (int axis = 0; axis < 3; ++axis)
            text += std::to_string(coordinate(random) / 100.0) + (axis == 2 ? "\n" : " ");
    return text;
}

// The whole program in a child: the conversion in `dir`, standard error to a file.
pid_t start_run(const TempDir& dir, bool buffered) {
    // Until start-up watches them, events wait instead of ending the child:
    // it starts with them blocked, from the first instruction on.
    sigset_t events, before;
    sigemptyset(&events);
    for (const Event& event : kEvents) sigaddset(&events, event.signal);
    sigprocmask(SIG_BLOCK, &events, &before);
    const pid_t child = fork();
    if (child != 0) {
        sigprocmask(SIG_SETMASK, &before, nullptr);
        return child;
    }
    if (chdir(dir.path().c_str()) != 0) _exit(120);
    const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (err < 0 || dup2(err, STDERR_FILENO) < 0) _exit(121);
    if (buffered)
        setenv("FORT_BUFFERED", "y", 1);
    else
        unsetenv("FORT_BUFFERED");
    char name[] = "3dpoint";
    char* argv[] = {name, nullptr};
    std::exit(rt::process_entry(1, argv, [] { app::run_conversion(); }, io::close_all_units));
}

int wait_for(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return status;
}

int count_of(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(ConsoleEventStress, OneReportAndWholeRecordsWhateverTheMoment) {
    const char* tries_variable = std::getenv("TDP_EVENT_TRIES");
    const int tries = tries_variable != nullptr ? std::atoi(tries_variable) : 300;
    TempDir dir;
    write_bytes(dir.file("input.txt"), point_list());

    // One run undisturbed in each mode: the correct output, and how long a
    // run of the mode takes, so that the events fall all over it.
    std::string correct;
    long long run_micros[2] = {};
    for (const bool buffered : {false, true}) {
        const auto started = std::chrono::steady_clock::now();
        const int clean = wait_for(start_run(dir, buffered));
        run_micros[buffered] =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count();
        ASSERT_TRUE(WIFEXITED(clean) && WEXITSTATUS(clean) == 0) << read_bytes(dir.file("stderr.txt"));
        const std::string output = read_bytes(dir.file("3dpoint.dxf"));
        ASSERT_GT(output.size(), 0u);
        if (!buffered) correct = output;
        ASSERT_EQ(output, correct);
    }

    std::mt19937 random(3);
    std::uniform_int_distribution<std::size_t> which(0, std::size(kEvents) - 1);
    int reported = 0, kept_old = 0, finished = 0;
    for (int attempt = 0; attempt < tries; ++attempt) {
        const Event& event = kEvents[which(random)];
        const bool buffered = attempt % 2 == 1;
        // From the start of the run to a little past its usual end.
        std::uniform_int_distribution<long long> moment(0, run_micros[buffered] * 11 / 10);
        write_bytes(dir.file("3dpoint.dxf"), kOldFile);
        const pid_t child = start_run(dir, buffered);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(child, event.signal);
        const int status = wait_for(child);

        const std::string output = read_bytes(dir.file("3dpoint.dxf"));
        const std::string err = read_bytes(dir.file("stderr.txt"));
        const std::string what = "attempt " + std::to_string(attempt) + ", " + event.name +
                                 (buffered ? ", buffered" : ", unbuffered") + "\n" + err.substr(0, 600);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << ", " << what;
        if (WEXITSTATUS(status) == 0) {  // the run was over before the event
            ++finished;
            ASSERT_EQ(output, correct) << what;
            ASSERT_EQ(err, "") << what;
            continue;
        }
        ++reported;
        ASSERT_EQ(WEXITSTATUS(status), event.status) << what;
        ASSERT_EQ(count_of(err, "forrtl:"), 1) << what;
        ASSERT_EQ(err.rfind(std::string("forrtl: error (200): program aborting due to ") + event.name + " event\r\n", 0),
                  0u)
            << what;
        if (output == kOldFile) {
            ++kept_old;
            continue;
        }
        ASSERT_TRUE(output.empty() || output.ends_with("\r\n")) << "a cut record, " << what;
        ASSERT_EQ(correct.compare(0, output.size(), output), 0) << "not a prefix of the correct output, " << what;
    }
    std::printf("%d runs: %d reported the event (%d with the old file kept), %d finished first\n", tries, reported,
                kept_old, finished);
    if (tries >= 100) {
        EXPECT_GT(reported, tries / 4) << "too few events met the run: the moments are off";
    }
}

}  // namespace
