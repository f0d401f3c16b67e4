// Console events as Windows delivers them: the system calls the control
// handler on a thread of its own. Without a console (as under test) the
// system cannot be made to send one, so the handler is called as the system
// would call it, on a thread started for the event.
#include "platform/console_events.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "platform/testing.h"
#include "platform/win32/console_control.h"

namespace {

using testing::ExitedWithCode;

DWORD g_main_thread = 0;

// Ends the child with the event type, and with 20 more when the action ran
// on another thread than the one that checks.
bool exit_with_type(int event_type) {
    ::ExitProcess(40 + event_type + (::GetCurrentThreadId() == g_main_thread ? 0 : 20));
}
bool decline(int) { return false; }

DWORD WINAPI deliver(void* control) {
    return platform::win32::on_console_control(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(control)));
}

// The main thread's statements, one check each, until the event ends the process.
[[noreturn]] void deliver_then_check(DWORD control, platform::ConsoleEventAction action) {
    g_main_thread = ::GetCurrentThreadId();
    if (!platform::watch_console_events(action)) ::ExitProcess(1);
    const HANDLE thread = ::CreateThread(nullptr, 0, deliver, reinterpret_cast<void*>(std::uintptr_t{control}), 0,
                                         nullptr);
    if (thread == nullptr) ::ExitProcess(2);
    for (;;) {
        platform::check_console_events();
        // The handler never returns while the event waits for the main thread.
        if (::WaitForSingleObject(thread, 1) == WAIT_OBJECT_0) ::ExitProcess(3);
    }
}

class ConsoleEvents : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ConsoleEvents, EachEventIsActedOnByTheMainThreadAtItsCheck) {
    const struct {
        DWORD control;
        int event_type;
    } cases[] = {
        {CTRL_C_EVENT, platform::kConsoleInterrupt},
        {CTRL_BREAK_EVENT, platform::kConsoleBreak},
        {CTRL_CLOSE_EVENT, platform::kConsoleClose},
    };
    for (const auto& c : cases)
        EXPECT_EXIT(deliver_then_check(c.control, exit_with_type), ExitedWithCode(40 + c.event_type), "")
            << c.control;
}

// An event the action declines takes the system's course: the end a
// process without a handler meets.
TEST_F(ConsoleEvents, ADeclinedEventTakesTheSystemsCourse) {
    EXPECT_EXIT(deliver_then_check(CTRL_BREAK_EVENT, decline),
                ExitedWithCode(static_cast<int>(STATUS_CONTROL_C_EXIT)), "");
}

// Where the system can break off the main thread's blocking read (not under
// Wine, whose reads of pipes it cannot cancel), the read fails as cancelled:
// it acts on the event before it would try again. Shown here with the
// failure a cancel leaves.
[[noreturn]] void event_then_cancelled_read() {
    if (!platform::watch_console_events(exit_with_type)) ::ExitProcess(1);
    g_main_thread = ::GetCurrentThreadId();
    ::CreateThread(nullptr, 0, deliver, reinterpret_cast<void*>(std::uintptr_t{CTRL_CLOSE_EVENT}), 0, nullptr);
    while (platform::detail::recorded_console_event.load() == platform::detail::kNoConsoleEvent) ::Sleep(1);
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!::CreatePipe(&read_end, &write_end, nullptr, 0)) ::ExitProcess(2);
    platform::testing::fail_syscall_with_code(platform::testing::Syscall::read, 1, ERROR_OPERATION_ABORTED);
    char byte = 0;
    platform::read_file(reinterpret_cast<platform::FileHandle>(read_end), {&byte, 1});
    ::ExitProcess(3);
}

TEST_F(ConsoleEvents, ACancelledReadActsOnTheEvent) {
    EXPECT_EXIT(event_then_cancelled_read(), ExitedWithCode(40 + platform::kConsoleClose), "");
}

// A read of a pipe that never gets data: where the system cannot break it
// off (Wine), the handler's thread acts on the event itself after a bound,
// while the main thread waits in the read; on Windows the cancel lets the
// main thread act. Either way the process ends.
[[noreturn]] void event_during_a_read_nothing_ends() {
    g_main_thread = ::GetCurrentThreadId();
    if (!platform::watch_console_events(exit_with_type)) ::ExitProcess(1);
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!::CreatePipe(&read_end, &write_end, nullptr, 0)) ::ExitProcess(2);
    ::CreateThread(nullptr, 0, deliver, reinterpret_cast<void*>(std::uintptr_t{CTRL_C_EVENT}), 0, nullptr);
    char byte = 0;
    platform::read_file(reinterpret_cast<platform::FileHandle>(read_end), {&byte, 1});
    ::ExitProcess(3);
}

TEST_F(ConsoleEvents, AReadNothingEndsStillEndsTheRun) {
    EXPECT_EXIT(event_during_a_read_nothing_ends(),
                [](int status) { return status == 40 || status == 60; }, "");
}

// A cancel no event asked for is a failure like any other.
TEST(ConsoleControl, ACancelWithoutAnEventIsAFailure) {
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    ASSERT_TRUE(::CreatePipe(&read_end, &write_end, nullptr, 0));
    const platform::testing::ScopedSyscallFailure cancel(platform::testing::Syscall::read, 1,
                                                         platform::testing::RawCode{ERROR_OPERATION_ABORTED});
    char byte = 0;
    const platform::TransferResult result =
        platform::read_file(reinterpret_cast<platform::FileHandle>(read_end), {&byte, 1});
    EXPECT_EQ(result.error, static_cast<platform::SystemError>(ERROR_OPERATION_ABORTED));
    ::CloseHandle(read_end);
    ::CloseHandle(write_end);
}

// Log-off and shut-down reach services, not this program: declined at once,
// nothing recorded.
TEST(ConsoleControl, OtherControlEventsAreDeclined) {
    for (const DWORD control : {DWORD{CTRL_LOGOFF_EVENT}, DWORD{CTRL_SHUTDOWN_EVENT}, DWORD{7}})
        EXPECT_EQ(platform::win32::on_console_control(control), FALSE) << control;
    EXPECT_EQ(platform::detail::recorded_console_event.load(), platform::detail::kNoConsoleEvent);
}

}  // namespace
