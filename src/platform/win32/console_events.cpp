// Console events on Windows. The system calls the control handler on a
// thread of its own, one per event: that thread records the event, wakes a
// blocking read or write of the main thread, and holds on, so that the
// system's default handling (which ends the process as soon as the handler
// returns) does not come before the main thread's report.
//
// A process started with control-C ignored (a new process group) is never
// called for it: the system keeps that choice without our help.
#include "platform/console_events.h"

#include <windows.h>

#include "platform/common/console_event_record.h"
#include "platform/win32/console_control.h"

namespace platform {
namespace {

// The thread whose statements act on events; set once, before the handler
// is installed.
HANDLE main_thread = nullptr;

// Set while the main thread is in a read or write (TransferMark).
std::atomic<bool> main_thread_transferring{false};

// How long the handler leaves the event to the main thread's check before
// it acts itself, when the main thread waits in a transfer meanwhile.
constexpr DWORD kMainThreadBound = 250;
constexpr DWORD kWaitStep = 10;

int event_type_of(DWORD control) {
    switch (control) {
        case CTRL_C_EVENT: return kConsoleInterrupt;
        case CTRL_BREAK_EVENT: return kConsoleBreak;
        case CTRL_CLOSE_EVENT: return kConsoleClose;
        default: return detail::kNoConsoleEvent;
    }
}

}  // namespace

namespace win32 {

BOOL WINAPI on_console_control(DWORD control) {
    const int event_type = event_type_of(control);
    if (event_type == detail::kNoConsoleEvent) return FALSE;  // log-off and shut-down: not ours
    record_console_event(event_type);
    // A read or write the main thread is blocked in fails as cancelled and
    // checks.
    if (main_thread != nullptr) ::CancelSynchronousIo(main_thread);
    // Where the system cannot cancel it (Wine, on a pipe), the main thread
    // would not check before its producer writes or closes: after a bound,
    // the event is acted on here. Safe while the main thread is inside the
    // transfer: its one unit is marked busy, so the unit pass leaves it
    // alone, and when the call returns, its check finds the event taken
    // here and waits for the process to end (TransferMark). A main thread
    // that is not in a transfer comes to a check soon and is left to it.
    for (DWORD waited = 0; waited < kMainThreadBound && !console_event_taken(); waited += kWaitStep)
        ::Sleep(kWaitStep);
    if (!console_event_taken() && main_thread_transferring.load(std::memory_order_seq_cst))
        act_on_console_event_here();
    // The process ends on the thread that acts; this one only waits for that.
    // An event that came while the process was already ending ends with it.
    for (;;) ::Sleep(INFINITE);
}

// Sequentially consistent, as the handler's look at the mark after its
// record: either the handler sees the main thread out of its transfer, or
// the main thread's check sees the event.
TransferMark::TransferMark() { main_thread_transferring.store(true, std::memory_order_seq_cst); }

TransferMark::~TransferMark() {
    main_thread_transferring.store(false, std::memory_order_seq_cst);
    if (detail::recorded_console_event.load(std::memory_order_seq_cst) != detail::kNoConsoleEvent)
        detail::act_on_console_event();
}

}  // namespace win32

// What the system does when no handler takes the event.
void pass_on_console_event(int /*event_type*/) { ::ExitProcess(STATUS_CONTROL_C_EXIT); }

// The system calls the handler on a thread it starts for the event, which
// may run well after the producer of a pipeline died of the same event.
std::chrono::milliseconds console_event_lag() { return std::chrono::milliseconds{300}; }

bool watch_console_events(ConsoleEventAction action) {
    set_console_event_action(action);
    // Cancelling the thread's calls needs a real handle with the right to end it.
    if (main_thread == nullptr &&
        !::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &main_thread,
                           THREAD_TERMINATE, FALSE, 0))
        main_thread = nullptr;
    return ::SetConsoleCtrlHandler(win32::on_console_control, TRUE) != FALSE;
}

}  // namespace platform
