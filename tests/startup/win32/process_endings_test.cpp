// Every way a run can end on Windows, made to happen for real in a child
// process (the test program started again) around drivers of our own.
//
// What the child writes to standard error is read back in text mode: a raw
// CR LF (a fault's report) reads as LF, and the stream's CR CR LF (every
// other report's message line) as CR LF. Patterns are the test framework's
// simple ones on Windows: no character classes, "." never matches a line feed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/console_events.h"
#include "platform/cpu.h"
#include "platform/testing.h"
#include "platform/win32/console_control.h"
#include "reporting/report.h"
#include "startup/faults.h"
#include "startup/fp_modes.h"
#include "startup/lifecycle.h"
#include "startup/startup.h"
#include "support/faulting_code.h"

namespace {

using testing::AllOf;
using testing::ContainsRegex;
using testing::ExitedWithCode;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

using Env = std::vector<std::pair<const char*, const char*>>;

// Flushed: the run-time buffers standard error when it is not a console,
// and a fault's report ends the process without flushing the streams.
int note_units_closed() {
    std::fputs("units closed\n", stderr);
    std::fflush(stderr);
    return 0;
}

UINT g_error_mode_at_start = 0;

// The child's whole life: environment, start-up, driver, termination.
[[noreturn]] void run(rt::Driver driver, const Env& env = {}, rt::UnitPass pass = note_units_closed) {
    for (const auto& [name, value] : env) platform::testing::set_environment_variable(name, value);
    g_error_mode_at_start = ::GetErrorMode();
    char name[] = "3dpoint.exe";
    char* argv[] = {name, nullptr};
    std::exit(rt::process_entry(1, argv, driver, pass));
}

class ProcessEndings : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

const int kAccessViolationStatus = static_cast<int>(EXCEPTION_ACCESS_VIOLATION);

void quiet() {}

// Unmasks the zero divide of the vector unit, then divides by zero there.
void vector_divide() {
    rt::set_vector_fp_masks(1u << 2);
    volatile float zero = 0.0f;
    volatile float result = 1.0f / zero;
    (void)result;
}

// The same on the x87 unit, which traps at its next instruction.
void x87_divide() {
    platform::write_x87_control(platform::read_x87_control() & ~0x4);
    volatile long double zero = 0;
    volatile long double result = 1 / zero;
    (void)result;
}

void integer_divide() {
    volatile int zero = 0;
    volatile int result = 7 / zero;
    (void)result;
}

void breakpoint() { asm volatile("int3"); }
void illegal_instruction() { asm volatile("ud2"); }
void unlisted_exception() { ::RaiseException(0xE0001234, 0, 0, nullptr); }

void severe_read_error() { rt::report_error(24, 2, 10, "Z:\\in\\input.txt"); }

void announce_exit_routine() { std::fputs("exit routine\n", stderr); }

// A fault's report ends the process at once; an ordinary severe report takes
// the normal end, exit routines and all.
void fault_with_exit_routine() {
    std::atexit(announce_exit_routine);
    test_support::write_null();
}

void severe_error_with_exit_routine() {
    std::atexit(announce_exit_routine);
    severe_read_error();
}

// The variables are taken at start-up: one the driver sets later is not seen.
void disable_traceback_then_fault() {
    platform::testing::set_environment_variable("FOR_DISABLE_STACK_TRACE", "1");
    test_support::write_null();
}

// The floating-point state the driver runs with once it has made its own
// first requests: every exception masked on both units, flush-to-zero on.
void check_fp_state() {
    rt::apply_fp_modes(rt::kRequestFlushToZero | rt::kRequestDenormalsAreZero);
    rt::enable_flush_to_zero();
    const std::uint32_t vector = platform::read_vector_control();
    const std::uint16_t x87 = platform::read_x87_control();
    int failures = 0;
    if ((vector & rt::kVectorExceptionMasks) != rt::kVectorExceptionMasks) failures |= 1;
    if ((vector & rt::kVectorFlushToZero) == 0) failures |= 2;
    if ((x87 & 0x3D) != 0x3D) failures |= 4;  // invalid, zero divide, overflow, underflow, inexact
    ::ExitProcess(failures == 0 ? 0 : 100 + failures);
}

// The system calls the console control handler on a thread of its own; the
// driver goes on with its statements, each a check, until the event ends it.
DWORD WINAPI deliver_control(void* control) {
    return platform::win32::on_console_control(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(control)));
}

void statements_during(DWORD control) {
    ::CreateThread(nullptr, 0, deliver_control, reinterpret_cast<void*>(std::uintptr_t{control}), 0, nullptr);
    for (;;) {
        platform::check_console_events();
        ::Sleep(1);
    }
}

void control_c_during_statements() { statements_during(CTRL_C_EVENT); }
void control_break_during_statements() { statements_during(CTRL_BREAK_EVENT); }
void close_during_statements() { statements_during(CTRL_CLOSE_EVENT); }

void exit_with_error_mode() { ::ExitProcess(::GetErrorMode()); }
void exit_with_error_mode_changed() { ::ExitProcess(::GetErrorMode() == g_error_mode_at_start ? 0 : 1); }

const char kAccessViolationLine[] = "forrtl: severe (157): Program Exception - access violation\r\n";
const char kTerseHeader[] = "Image              PC        Routine            Line        Source             \n";

TEST_F(ProcessEndings, AnAccessViolationNamesTheFaultingRoutineFirst) {
    EXPECT_EXIT(run(test_support::write_null), ExitedWithCode(157),
                AllOf(StartsWith(std::string(kAccessViolationLine) + kTerseHeader),
                      ContainsRegex("^.*\n.*\nstartup_tests.exe  \\w+  write_null  +\\d+  faulting_code.h\n"),
                      HasSubstr("\nunits closed\n")));
}

TEST_F(ProcessEndings, FloatingPointTrapsAreErrorsThatEndThroughTermination) {
    for (const rt::Driver driver : {vector_divide, x87_divide}) {
        EXPECT_EXIT(run(driver), ExitedWithCode(73),
                    AllOf(StartsWith(std::string("forrtl: error (73): floating divide by zero\r\n") + kTerseHeader),
                          HasSubstr("\nunits closed\n")));
    }
}

TEST_F(ProcessEndings, AStackOverflowIsReportedFromTheFiltersStack) {
    EXPECT_EXIT(run(test_support::overflow_stack), ExitedWithCode(170),
                AllOf(StartsWith(std::string("forrtl: severe (170): Program Exception - stack overflow\n") +
                                 kTerseHeader),
                      HasSubstr("  recurse  "),
                      HasSubstr("\nStack trace buffer overflow; further frames not shown.\n")));
}

struct Ending {
    const char* what;
    rt::Driver driver;
    Env env;
    int status;
    std::string shown;  // the whole of standard error
};

TEST_F(ProcessEndings, EachEndingReportsAndExitsAsItShould) {
    const Ending endings[] = {
        {"normal end", quiet, {}, 0, "units closed\n"},
        {"floating-point state", check_fp_state, {}, 0, ""},
        {"no traceback", test_support::write_null, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 157,
         std::string(kAccessViolationLine) + "units closed\n"},
        {"fault ends at once", fault_with_exit_routine, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 157,
         std::string(kAccessViolationLine) + "units closed\n"},
        {"severe error takes the normal end", severe_error_with_exit_routine, {{"FOR_DISABLE_STACK_TRACE", "1"}},
         24, "forrtl: severe (24): end-of-file during read, unit 10, file Z:\\in\\input.txt\r\nunits closed\n"
             "exit routine\n"},
        {"integer divide", integer_divide, {{"FOR_DISABLE_STACK_TRACE", "y"}}, 164,
         "forrtl: severe (164): Program Exception - integer divide by zero\r\nunits closed\n"},
        {"illegal instruction", illegal_instruction, {{"FOR_DISABLE_STACK_TRACE", "y"}}, 168,
         "forrtl: severe (168): Program Exception - illegal instruction\r\nunits closed\n"},
        {"breakpoint", breakpoint, {{"FOR_DISABLE_STACK_TRACE", "y"}}, 159,
         "forrtl: severe (159): Program Exception - breakpoint\r\nunits closed\n"},
        {"unlisted exception", unlisted_exception, {{"FOR_DISABLE_STACK_TRACE", "y"}}, 172,
         "forrtl: severe (172): Program Exception - exception code = 0x1234 (4660)\r\nunits closed\n"},
        {"breakpoint for a debugger abandons the driver quietly", breakpoint, {{"FOR__IS_DEBUGGER_PRESENT", "yes"}},
         0, "units closed\n"},
        // Without a real debugger the reporter's own stop must not turn a
        // severe error into a quiet, successful end.
        {"severe error, debugger only pretended", severe_read_error,
         {{"FOR__IS_DEBUGGER_PRESENT", "1"}, {"FOR_DISABLE_STACK_TRACE", "1"}}, 24,
         "forrtl: severe (24): end-of-file during read, unit 10, file Z:\\in\\input.txt\r\nunits closed\n"},
        {"no error boxes", exit_with_error_mode, {{"FOR_NOERROR_DIALOGS", "y"}}, 0x8003, ""},
    };
    for (const Ending& e : endings)
        EXPECT_EXIT(run(e.driver, e.env), ExitedWithCode(e.status), testing::Eq(e.shown)) << e.what;
}

// Control-C ends with 200, the number it reports; control-BREAK and close
// with their event types. The traceback is the main thread's, from where
// its statement stood.
TEST_F(ProcessEndings, ConsoleEventsReportFromTheMainThread) {
    const struct {
        rt::Driver driver;
        const char* name;
        int status;
    } cases[] = {
        {control_c_during_statements, "control-C", 200},
        {control_break_during_statements, "control-BREAK", 1},
        {close_during_statements, "window-CLOSE", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(run(c.driver), ExitedWithCode(c.status),
                    AllOf(StartsWith(std::string("forrtl: error (200): program aborting due to ") + c.name +
                                     " event\r\n" + kTerseHeader),
                          ContainsRegex("\nstartup_tests.exe  \\w+  statements_during  "),
                          HasSubstr("\nunits closed\n")))
            << c.name;
    }
}

TEST_F(ProcessEndings, TheVariablesAreTakenAtStartUp) {
    EXPECT_EXIT(run(disable_traceback_then_fault), ExitedWithCode(157),
                StartsWith(std::string(kAccessViolationLine) + kTerseHeader));
    // Any other value leaves the error mode the process started with.
    EXPECT_EXIT(run(exit_with_error_mode_changed, {{"FOR_NOERROR_DIALOGS", "0"}}), ExitedWithCode(0), "");
}

TEST_F(ProcessEndings, VerboseTracebacksDumpTheContextFirst) {
    for (const char* variable : {"FOR_ENABLE_VERBOSE_STACK_TRACE", "TBK_ENABLE_VERBOSE_STACK_TRACE"}) {
        EXPECT_EXIT(
            run(test_support::write_null, {{variable, "y"}}), ExitedWithCode(157),
            AllOf(StartsWith(std::string(kAccessViolationLine) +
                             "\nHex Dump Of Exception Record Context Information:\n\n"
                             "Exception Context:  Processor Control and Status Registers.\n\nEFlags:  "),
                  ContainsRegex("\nCS:  \\w+  EIP:  \\w+  SS:   \\w+  ESP:  \\w+  EBP:  \\w+\n\n"),
                  ContainsRegex("\nEAX: \\w+  EBX:  \\w+  ECX:  \\w+  EDX:  \\w+\nESI: \\w+  EDI:  \\w+\n\n"),
                  ContainsRegex("\nDS:  \\w+  ES:   \\w+  FS:   \\w+  GS:   \\w+\n\n"),
                  HasSubstr("\nMXCSR:   "),
                  HasSubstr("\n\nTraceback symbolic or hex stack dump follows:\n\n"
                            "--------- Frame # 0 ---------------------------------------\n\nImage:         "),
                  ContainsRegex("startup_tests.exe\nPC:            \\w+\nRoutine name:  write_null\n"
                                "Source file:   .*faulting_code.h\nLine number:   \\d+\n")))
            << variable;
    }
}

TEST_F(ProcessEndings, DeclinedFaultsTakeTheSystemsCourse) {
    // Under a debugger the fault is reported, then passed on.
    EXPECT_EXIT(run(test_support::write_null, {{"FOR__IS_DEBUGGER_PRESENT", "1"}}),
                ExitedWithCode(kAccessViolationStatus), StartsWith(kAccessViolationLine));
    EXPECT_EXIT(run(test_support::write_null, {{"FOR_IGNORE_EXCEPTIONS", "true"}}),
                ExitedWithCode(kAccessViolationStatus), Not(HasSubstr("forrtl")));
}

TEST_F(ProcessEndings, TheDumpFlagEndsThroughTheAbnormalEnd) {
    EXPECT_EXIT(run(severe_read_error, {{"f77_dump_flag", "y"}, {"FOR_DISABLE_STACK_TRACE", "y"}}),
                platform::testing::ended_by_abort, StartsWith("forrtl: severe (24): "));
}

// The fault path stays well inside the stack the filter asks for: a verbose
// report, walk and all, completes on a quarter of it.
void fault_in_body(void*) { test_support::write_null(); }

[[noreturn]] void fault_with_a_quarter_of_the_filter_stack() {
    platform::testing::set_environment_variable("FOR_ENABLE_VERBOSE_STACK_TRACE", "y");
    rt::set_termination_unit_pass(note_units_closed);
    rt::runtime_init();
    platform::run_protected(fault_in_body, nullptr, rt::handle_fault, rt::kFaultFilterStackBytes / 4);
    std::_Exit(99);
}

TEST_F(ProcessEndings, FaultReportFitsInAQuarterOfTheFilterStack) {
    EXPECT_EXIT(fault_with_a_quarter_of_the_filter_stack(), ExitedWithCode(157),
                AllOf(StartsWith(kAccessViolationLine), HasSubstr("--------- Frame # 2 "),
                      HasSubstr("\n\nunits closed\n")));
}

}  // namespace
