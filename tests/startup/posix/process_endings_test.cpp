// Every way a run can end, made to happen for real in a child process around
// drivers of our own, with the signals and limits of POSIX.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/cpu.h"
#include "platform/files.h"
#include "startup/faults.h"
#include "startup/fp_modes.h"
#include "io/io_size_settings.h"
#include "startup/lifecycle.h"
#include "reporting/report.h"
#include "startup/startup.h"
#include "support/blocked_read.h"
#include "support/faulting_code.h"

namespace {

using Env = std::vector<std::pair<const char*, const char*>>;

int note_units_closed() {
    std::fputs("units closed\n", stderr);
    return 0;
}

// The child's whole life: environment, start-up, driver, termination.
[[noreturn]] void run(rt::Driver driver, const Env& env = {}, rt::UnitPass pass = note_units_closed) {
    alarm(20);  // a run that hangs ends the child instead of the suite
    for (const auto& [name, value] : env) setenv(name, value, 1);
    char name[] = "3dpoint";
    char* argv[] = {name, nullptr};
    std::exit(rt::process_entry(1, argv, driver, pass));
}

void quiet() {}

void fp_divide() {
    rt::set_vector_fp_masks(1u << 2);  // unmask the zero divide
    volatile float zero = 0.0f;
    volatile float result = 1.0f / zero;
    (void)result;
}

void breakpoint() { asm volatile("int3"); }

// A bus-error signal aimed at this thread by the program itself is no
// processor fault: the table has no row for it.
void raise_bus_error() { raise(SIGBUS); }

// Blocks in a read that never completes, and the signal comes to the
// process meanwhile, as a terminal would send it.
int console_signal = SIGINT;
void interrupted_read() {
    int ends[2];
    if (pipe(ends) != 0) std::_Exit(99);
    test_support::signal_when_reading(console_signal);
    char byte;
    platform::read_file(ends[0], {&byte, 1});
    std::_Exit(98);  // the event did not end the run
}

// The floating-point state the driver runs with, after its own first acts.
void check_fp_state() {
    rt::apply_fp_modes(3);
    rt::enable_flush_to_zero();
    const std::uint32_t control = platform::read_vector_control();
    const std::uint16_t x87 = platform::read_x87_control();
    const bool daz_expected = rt::classify_processor() >= rt::kClassVector2 &&
                              (platform::vector_control_mask() & rt::kVectorDenormalsAreZero) != 0;
    int failures = 0;
    if ((control & rt::kVectorExceptionMasks) != rt::kVectorExceptionMasks) failures |= 1;
    if ((control & rt::kVectorFlushToZero) == 0) failures |= 2;
    if (((control & rt::kVectorDenormalsAreZero) != 0) != daz_expected) failures |= 4;
    if ((x87 & 0x3D) != 0x3D) failures |= 8;
    if (failures != 0) std::_Exit(100 + failures);
}

// Exits 0 when the process would leave no core dump behind.
void check_no_core_dumps() {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    std::_Exit(limit.rlim_cur == 0 ? 0 : 1);
}

[[noreturn]] void run_with_core_dumps(const char* noerror_dialogs) {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_CORE, &limit);
    run(check_no_core_dumps, {{"FOR_NOERROR_DIALOGS", noerror_dialogs}});
}

void severe_read_error() { rt::report_error(24, 2, 10, "/tmp/in/input.txt"); }

// The settings are taken at start-up: a later change of the variable is not seen.
void check_settings_taken_at_startup() {
    setenv("FORT_BLOCKSIZE", "abc", 1);
    const io::IoSizeSettings settings = io::io_size_settings();
    if (settings.block_size != 1024 || settings.buffer_count != 127) std::_Exit(1);
}

// The variables are taken at start-up: one the driver sets later is not seen.
void disable_traceback_then_fault() {
    setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
    test_support::write_null();
}

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

int failing_pass() { return 28; }
int reporting_pass() {
    std::fputs("unit pass\n", stderr);
    rt::report_error(28, 2, 20, "/tmp/out/3dpoint.dxf");
    return 28;
}

using testing::ExitedWithCode;
using testing::KilledBySignal;

TEST(ProcessEndingsDeathTest, NoErrorDialogsMeansNoCoreDump) {
    rlimit limit{};
    getrlimit(RLIMIT_CORE, &limit);
    if (limit.rlim_max == 0) GTEST_SKIP() << "core dumps are off for good here";
    EXPECT_EXIT(run_with_core_dumps("y"), ExitedWithCode(0), "");
    EXPECT_EXIT(run_with_core_dumps("0"), ExitedWithCode(1), "");
}

struct Ending {
    const char* what;
    rt::Driver driver;
    Env env;
    int status;
    const char* shown;  // standard error, as a pattern
};

TEST(ProcessEndingsDeathTest, EachEndingReportsAndExitsAsItShould) {
    const Ending endings[] = {
        {"normal end", quiet, {}, 0, "^units closed\n$"},
        {"floating-point state", check_fp_state, {}, 0, "^units closed\n$"},
        {"settings read at start-up", check_settings_taken_at_startup,
         {{"FORT_BLOCKSIZE", "1000"}, {"FORT_BUFFERCOUNT", "127"}}, 0, "^units closed\n$"},
        // The first row is the faulting routine, in this binary.
        {"access violation", test_support::write_null, {}, 157,
         "^forrtl: severe \\(157\\): Program Exception - access violation\r\n"
         "Image +PC +Routine +Line +Source *\nstartup_tests +[0-9A-F]{8,}  write_null "},
        {"no traceback", test_support::write_null, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 157,
         "^forrtl: severe \\(157\\): Program Exception - access violation\r\nunits closed\n$"},
        {"verbose", test_support::write_null, {{"FOR_ENABLE_VERBOSE_STACK_TRACE", "y"}}, 157,
         "^forrtl: severe \\(157\\)[^\n]*\r\n\nHex Dump Of Exception Record Context Information:"
         ".*\nException Context:  Processor Segment Registers.\n\n"
         "DS:  [0-9A-F]{8}  ES:   [0-9A-F]{8}  FS:   [0-9A-F]{8}  GS:   [0-9A-F]{8}\n\n"
         ".*\n\nTraceback symbolic or hex stack dump follows:\n\n--------- Frame # 0 "},
        {"verbose, other name", test_support::write_null, {{"TBK_ENABLE_VERBOSE_STACK_TRACE", "y"}}, 157,
         "^forrtl: severe \\(157\\)[^\n]*\r\n\nHex Dump Of Exception Record Context Information:"},
        // A trap is an error: termination runs and its status is the number.
        {"floating-point trap", fp_divide, {}, 73,
         "^forrtl: error \\(73\\): floating divide by zero\r\nImage .*\nunits closed\n$"},
        {"stack overflow", test_support::overflow_stack, {}, 170,
         "^forrtl: severe \\(170\\): Program Exception - stack overflow\r\n"},
        {"variable set after start-up", disable_traceback_then_fault, {}, 157,
         "^forrtl: severe \\(157\\): Program Exception - access violation\r\nImage "},
        {"fault ends at once", fault_with_exit_routine, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 157,
         "^forrtl: severe \\(157\\): Program Exception - access violation\r\nunits closed\n$"},
        {"severe error takes the normal end", severe_error_with_exit_routine, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 24,
         "^forrtl: severe \\(24\\): [^\n]*\r\nunits closed\nexit routine\n$"},
        {"unlisted fault", raise_bus_error, {{"FOR_DISABLE_STACK_TRACE", "y"}}, 172,
         "^forrtl: severe \\(172\\): Program Exception - exception code = 0x7fa \\(2042\\)\r\nunits closed\n$"},
        {"breakpoint for a debugger abandons the driver quietly", breakpoint, {{"FOR__IS_DEBUGGER_PRESENT", "yes"}},
         0, "^units closed\n$"},
        // Without a real debugger the reporter's stop must not turn a severe
        // error into a quiet, successful end.
        {"severe error, debugger only pretended", severe_read_error,
         {{"FOR__IS_DEBUGGER_PRESENT", "1"}, {"FOR_DISABLE_STACK_TRACE", "1"}}, 24,
         "^forrtl: severe \\(24\\): end-of-file during read, unit 10, file /tmp/in/input.txt\r\nunits closed\n$"},
    };
    for (const Ending& e : endings)
        EXPECT_EXIT(run(e.driver, e.env), ExitedWithCode(e.status), e.shown) << e.what;
}

void fault_in_body(void*) { test_support::write_null(); }

// The fault path stays well inside the stack the filter asks for: a verbose
// report, walk and all, completes on a quarter of it.
[[noreturn]] void fault_with_a_quarter_of_the_filter_stack() {
    setenv("FOR_ENABLE_VERBOSE_STACK_TRACE", "y", 1);
    rt::set_termination_unit_pass(note_units_closed);
    rt::runtime_init();
    platform::run_protected(fault_in_body, nullptr, rt::handle_fault, rt::kFaultFilterStackBytes / 4);
    std::_Exit(99);
}

TEST(ProcessEndingsDeathTest, FaultReportFitsInAQuarterOfTheFilterStack) {
    EXPECT_EXIT(fault_with_a_quarter_of_the_filter_stack(), ExitedWithCode(157),
                "^forrtl: severe \\(157\\)[^\n]*\r\n\nHex Dump Of Exception Record Context Information:"
                ".*--------- Frame # 2 .*\n\nunits closed\n$");
}

TEST(ProcessEndingsDeathTest, DeclinedFaultsTakeThePlatformsCourse) {
    // Under a debugger the fault is reported, then passed on.
    EXPECT_EXIT(run(test_support::write_null, {{"FOR__IS_DEBUGGER_PRESENT", "1"}, {"FOR_NOERROR_DIALOGS", "1"}}),
                KilledBySignal(SIGSEGV), "^forrtl: severe \\(157\\): Program Exception - access violation\r\n");
    EXPECT_EXIT(run(test_support::write_null, {{"FOR_IGNORE_EXCEPTIONS", "true"}, {"FOR_NOERROR_DIALOGS", "y"}}),
                KilledBySignal(SIGSEGV), "^$");
}

TEST(ProcessEndingsDeathTest, ConsoleEventsDuringASlowRead) {
    const struct {
        int signal;
        const char* name;
        int status;
    } cases[] = {{SIGINT, "control-C", 200},
                 {SIGQUIT, "control-BREAK", 1},
                 {SIGHUP, "window-CLOSE", 2},
                 // A request to end (timeout, a service manager) ends as the closing does.
                 {SIGTERM, "window-CLOSE", 2}};
    for (const auto& c : cases) {
        console_signal = c.signal;
        EXPECT_EXIT(run(interrupted_read), ExitedWithCode(c.status),
                    std::string("^forrtl: error \\(200\\): program aborting due to ") + c.name +
                        " event\r\nImage .*\nunits closed\n$")
            << c.name;
    }
}

TEST(ProcessEndingsDeathTest, UnitPassThatHandsBackAFailureIsAnInconsistency) {
    EXPECT_EXIT(run(quiet, {}, failing_pass), ExitedWithCode(8),
                "^forrtl: severe \\(8\\): internal consistency check failure, file for_exit_handler, line "
                "[0-9]+\r\n$");
}

TEST(ProcessEndingsDeathTest, FailingCloseAtTerminationEndsWithItsNumberAndRunsOnce) {
    EXPECT_EXIT(run(quiet, {}, reporting_pass), ExitedWithCode(28),
                "^unit pass\nforrtl: severe \\(28\\): CLOSE error, unit 20, file /tmp/out/3dpoint.dxf\r\n$");
}

}  // namespace
