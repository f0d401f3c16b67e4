#include "platform/console_events.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

namespace {

bool exit_with_type(int event_type) { _exit(40 + event_type); }
bool decline(int) { return false; }

// Sent to the process, as a terminal would; the waiting thread must take it
// although the main thread is the one that sends it.
[[noreturn]] void send_and_wait(platform::ConsoleEventHandler handler, int signal) {
    alarm(10);  // a lost event ends the child instead of hanging the test
    if (!platform::start_console_events(handler)) _exit(1);
    kill(getpid(), signal);
    for (;;) pause();
}

// Started with hang-up ignored (as nohup does), the process outlives it.
TEST(ConsoleEventsDeathTest, InheritedIgnoredSignalStaysIgnored) {
    EXPECT_EXIT(
        {
            signal(SIGHUP, SIG_IGN);
            if (!platform::start_console_events(exit_with_type)) _exit(1);
            kill(getpid(), SIGHUP);
            usleep(100 * 1000);
            _exit(7);
        },
        testing::ExitedWithCode(7), "");
}

TEST(ConsoleEventsDeathTest, DeclinedEventTakesTheDefaultAction) {
    EXPECT_EXIT(send_and_wait(decline, SIGINT), testing::KilledBySignal(SIGINT), "");
}

}  // namespace
