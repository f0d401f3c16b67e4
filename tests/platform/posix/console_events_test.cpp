#include "platform/console_events.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/files.h"
#include "support/blocked_read.h"

namespace {

using testing::ExitedWithCode;
using testing::KilledBySignal;

bool exit_with_type(int event_type) { _exit(40 + event_type); }
bool decline(int) { return false; }

// Sent to the process, as a terminal would.
void send(int signal) { kill(getpid(), signal); }

// The event is only recorded when it arrives; the action runs at the check.
TEST(ConsoleEventsDeathTest, ActedOnAtTheCheckOnly) {
    EXPECT_EXIT(
        {
            alarm(10);  // a lost event ends the child instead of hanging the test
            if (!platform::watch_console_events(exit_with_type)) _exit(1);
            send(SIGQUIT);
            send(SIGINT);  // a second event while the first waits adds nothing
            platform::check_console_events();
            _exit(2);
        },
        ExitedWithCode(40 + platform::kConsoleBreak), "");
}

TEST(ConsoleEventsDeathTest, NothingRecordedNothingDone) {
    EXPECT_EXIT(
        {
            if (!platform::watch_console_events(exit_with_type)) _exit(1);
            platform::check_console_events();
            _exit(7);
        },
        ExitedWithCode(7), "");
}

// Started with hang-up ignored (as nohup does), the process outlives it.
TEST(ConsoleEventsDeathTest, InheritedIgnoredSignalStaysIgnored) {
    EXPECT_EXIT(
        {
            signal(SIGHUP, SIG_IGN);
            if (!platform::watch_console_events(exit_with_type)) _exit(1);
            send(SIGHUP);
            platform::check_console_events();
            _exit(7);
        },
        ExitedWithCode(7), "");
}

// Started with the signal blocked, the process still takes the event, one
// that came before the watch included.
TEST(ConsoleEventsDeathTest, InheritedBlockedSignalIsTaken) {
    EXPECT_EXIT(
        {
            sigset_t blocked;
            sigemptyset(&blocked);
            sigaddset(&blocked, SIGHUP);
            sigprocmask(SIG_BLOCK, &blocked, nullptr);
            send(SIGHUP);
            if (!platform::watch_console_events(exit_with_type)) _exit(1);
            platform::check_console_events();
            _exit(7);
        },
        ExitedWithCode(40 + platform::kConsoleClose), "");
}

TEST(ConsoleEventsDeathTest, DeclinedEventTakesTheDefaultAction) {
    EXPECT_EXIT(
        {
            if (!platform::watch_console_events(decline)) _exit(1);
            send(SIGINT);
            platform::check_console_events();
            _exit(7);
        },
        KilledBySignal(SIGINT), "");
}

// The action runs once: checks made while it runs (the unit pass closes
// units) or after the events were stopped do nothing, and the process is
// not ended by the signal's default action either.
std::atomic<int> g_actions{0};
bool count_and_check_again(int) {
    ++g_actions;
    send(SIGINT);
    platform::check_console_events();
    return true;
}

TEST(ConsoleEventsDeathTest, OneActionPerProcess) {
    EXPECT_EXIT(
        {
            if (!platform::watch_console_events(count_and_check_again)) _exit(1);
            send(SIGINT);
            platform::check_console_events();
            platform::check_console_events();
            platform::stop_console_events();
            send(SIGQUIT);
            platform::check_console_events();
            _exit(g_actions.load());
        },
        ExitedWithCode(1), "");
}

TEST(ConsoleEventsDeathTest, StoppedEventsAreDropped) {
    EXPECT_EXIT(
        {
            if (!platform::watch_console_events(exit_with_type)) _exit(1);
            platform::stop_console_events();
            send(SIGINT);
            platform::check_console_events();
            _exit(7);
        },
        ExitedWithCode(7), "");
}

// A read that waits for data the event interrupts returns from the system
// and acts on the event; without that the read would wait for ever.
TEST(ConsoleEventsDeathTest, BlockingReadIsInterrupted) {
    EXPECT_EXIT(
        {
            alarm(10);
            int ends[2];
            if (pipe(ends) != 0) _exit(1);
            if (!platform::watch_console_events(exit_with_type)) _exit(1);
            // A child sends the event once this process waits in the read;
            // the write end stays open here, so no data and no end ever come.
            test_support::signal_when_reading(SIGINT);
            char byte;
            platform::read_file(ends[0], {&byte, 1});
            _exit(3);
        },
        ExitedWithCode(40 + platform::kConsoleInterrupt), "");
}

}  // namespace
