// Every way a run can end, made to happen for real in a child process around
// drivers of our own: one table, run on both systems. What truly differs
// between them (how a console event comes, how a declined fault ends, what
// error dialogs are, the traceback's columns) is in the backend's folder,
// process_endings_system.h.
//
// Standard error is matched as text, not as patterns (the test framework's
// patterns are not the same language on both systems). A message line the
// run-time writes raw, bypassing the stream, reads back as
// captured_raw_crlf(); the stream's reads back as CR LF on both.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/io_size_settings.h"
#include "io/open_close_unit.h"
#include "io/statement.h"
#include "io/unit_record_source.h"
#include "platform/common/console_event_record.h"
#include "platform/cpu.h"
#include "platform/testing.h"
#include "process_endings_system.h"
#include "reporting/report.h"
#include "startup/faults.h"
#include "startup/fp_modes.h"
#include "startup/lifecycle.h"
#include "startup/startup.h"
#include "support/faulting_code.h"
#include "support/temp_dir.h"

namespace {

namespace sys = endings_system;

using testing::AllOf;
using testing::EndsWith;
using testing::Eq;
using testing::ExitedWithCode;
using testing::HasSubstr;
using testing::ResultOf;
using testing::StartsWith;

using Env = std::vector<std::pair<const char*, const char*>>;
using Shown = testing::Matcher<const std::string&>;

// Flushed: standard error is buffered when it is not a console, and a
// fault's report ends the process without flushing the streams.
int note_units_closed() {
    std::fputs("units closed\n", stderr);
    std::fflush(stderr);
    return 0;
}

// The child's whole life: environment, start-up, driver, termination.
[[noreturn]] void run(rt::Driver driver, const Env& env = {}, rt::UnitPass pass = note_units_closed) {
    for (const auto& [name, value] : env) platform::testing::set_environment_variable(name, value);
    sys::prepare_child();
    char name[] = "3dpoint";
    char* argv[] = {name, nullptr};
    std::exit(rt::process_entry(1, argv, driver, pass));
}

class ProcessEndingsDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, sys::kDeathTestStyle); }
};

// Every word of hexadecimal digits (addresses, register values, line
// numbers) becomes "#", so that the layout of a traceback can be compared
// as text.
std::string hex_words_hashed(const std::string& text) {
    std::string shaped;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find_first_of(" \r\n", at), text.size());
        const std::string_view word(text.data() + at, end - at);
        const bool hex = !word.empty() && word.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
        shaped += hex ? std::string_view("#") : word;
        if (end < text.size()) shaped += text[end];
        at = end + 1;
    }
    return shaped;
}

Shown shaped(const Shown& inner) { return ResultOf(hex_words_hashed, inner); }

// A row of the terse traceback: the image column is 19 wide.
std::string traceback_row(std::string_view routine) {
    std::string row(sys::kImage);
    row.resize(19, ' ');
    return row + "#  " + std::string(routine) + "  ";
}

std::string line(std::string_view text, std::string_view end = "\r\n") { return std::string(text).append(end); }

const std::string kAccessViolation = line("forrtl: severe (157): Program Exception - access violation");

// The first row of a terse traceback, below the message and the header.
std::string first_row_hashed(const std::string& text) {
    const std::size_t message_end = text.find('\n');
    const std::size_t header_end = text.find('\n', message_end == std::string::npos ? text.size() : message_end + 1);
    if (header_end == std::string::npos) return {};
    const std::size_t row_end = text.find('\n', header_end + 1);
    return hex_words_hashed(text.substr(header_end + 1, row_end - header_end - 1));
}

Shown access_violation_traced() {
    // The first row is the faulting routine, in this binary.
    Shown faulting_row = StartsWith(traceback_row("write_null"));
    if (!sys::kFaultingSource.empty())
        faulting_row = AllOf(faulting_row, EndsWith("#  " + std::string(sys::kFaultingSource)));
    return AllOf(StartsWith(kAccessViolation + std::string(sys::kTerseHeader)),
                 ResultOf(first_row_hashed, faulting_row), EndsWith("\nunits closed\n"));
}

Shown verbose_access_violation() {
    std::vector<Shown> parts = {
        StartsWith(kAccessViolation +
                   "\nHex Dump Of Exception Record Context Information:\n\n"
                   "Exception Context:  Processor Control and Status Registers.\n\nEFlags:  "),
        shaped(HasSubstr("\nException Context:  Processor Segment Registers.\n\n"
                         "DS:  #  ES:   #  FS:   #  GS:   #\n\n")),
        HasSubstr("\n\nTraceback symbolic or hex stack dump follows:\n\n"
                  "--------- Frame # 0 ---------------------------------------\n\nImage:         "),
        shaped(HasSubstr(std::string(sys::kImage) + "\nPC:            #\nRoutine name:  write_null\nSource file:   ")),
        EndsWith("\nunits closed\n"),
    };
    for (std::string_view lines : sys::kRegisterLines) parts.push_back(shaped(HasSubstr(std::string(lines))));
    if (!sys::kFaultingSource.empty())
        parts.push_back(shaped(HasSubstr(std::string(sys::kFaultingSource) + "\nLine number:   #\n")));
    return testing::AllOfArray(parts);
}

Shown floating_divide_traced() {
    return AllOf(StartsWith(line("forrtl: error (73): floating divide by zero") + std::string(sys::kTerseHeader)),
                 EndsWith("\nunits closed\n"));
}

// The main thread's traceback, from where the driver stood when the event came.
Shown console_event(std::string_view name) {
    return AllOf(StartsWith(line("forrtl: error (200): program aborting due to " + std::string(name) + " event") +
                            std::string(sys::kTerseHeader)),
                 shaped(HasSubstr("\n" + traceback_row("await_event"))), EndsWith("\nunits closed\n"));
}

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

// The division is the point: the sanitizer must not stop it first.
__attribute__((no_sanitize("undefined"))) void integer_divide() {
    volatile int zero = 0;
    volatile int result = 7 / zero;
    (void)result;
}

void breakpoint() { asm volatile("int3"); }
void illegal_instruction() { asm volatile("ud2"); }

// The floating-point state the driver runs with once it has made its own
// first requests: every exception masked on both units, flush-to-zero on,
// denormals-are-zero where the processor has it.
void check_fp_state() {
    rt::apply_fp_modes(rt::kRequestFlushToZero | rt::kRequestDenormalsAreZero);
    rt::enable_flush_to_zero();
    const std::uint32_t control = platform::read_vector_control();
    const std::uint16_t x87 = platform::read_x87_control();
    const bool daz_expected = rt::classify_processor() >= rt::kClassVector2 &&
                              (platform::vector_control_mask() & rt::kVectorDenormalsAreZero) != 0;
    int failures = 0;
    if ((control & rt::kVectorExceptionMasks) != rt::kVectorExceptionMasks) failures |= 1;
    if ((control & rt::kVectorFlushToZero) == 0) failures |= 2;
    if (((control & rt::kVectorDenormalsAreZero) != 0) != daz_expected) failures |= 4;
    if ((x87 & 0x3D) != 0x3D) failures |= 8;  // invalid, zero divide, overflow, underflow, inexact
    if (failures != 0) std::_Exit(100 + failures);
}

// The settings are taken at start-up: a later change of the variable is not seen.
void check_settings_taken_at_startup() {
    platform::testing::set_environment_variable("FORT_BLOCKSIZE", "abc");
    const io::IoSizeSettings settings = io::io_size_settings();
    if (settings.block_size != 1024 || settings.buffer_count != 127) std::_Exit(1);
}

// The variables are taken at start-up: one the driver sets later is not seen.
void disable_traceback_then_fault() {
    platform::testing::set_environment_variable("FOR_DISABLE_STACK_TRACE", "1");
    test_support::write_null();
}

const std::string kEndOfFile = line("forrtl: severe (24): end-of-file during read, unit 10, file input.txt");

void severe_read_error() { rt::report_error(24, 2, 10, "input.txt"); }

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
    rt::report_error(28, 2, 20, "3dpoint.dxf");
    return 28;
}

struct Ending {
    const char* what;
    rt::Driver driver;
    Env env;
    int status;
    Shown shown;  // the whole of standard error
    rt::UnitPass pass = note_units_closed;
};

TEST_F(ProcessEndingsDeathTest, EachEndingReportsAndExitsAsItShould) {
    const Env no_traceback = {{"FOR_DISABLE_STACK_TRACE", "y"}};
    const Ending endings[] = {
        {"normal end", quiet, {}, 0, Eq("units closed\n")},
        {"floating-point state", check_fp_state, {}, 0, Eq("units closed\n")},
        {"settings read at start-up", check_settings_taken_at_startup,
         {{"FORT_BLOCKSIZE", "1000"}, {"FORT_BUFFERCOUNT", "127"}}, 0, Eq("units closed\n")},
        {"access violation", test_support::write_null, {}, 157, access_violation_traced()},
        {"no traceback", test_support::write_null, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 157,
         Eq(kAccessViolation + "units closed\n")},
        {"verbose", test_support::write_null, {{"FOR_ENABLE_VERBOSE_STACK_TRACE", "y"}}, 157,
         verbose_access_violation()},
        {"verbose, other name", test_support::write_null, {{"TBK_ENABLE_VERBOSE_STACK_TRACE", "y"}}, 157,
         verbose_access_violation()},
        {"variable set after start-up", disable_traceback_then_fault, {}, 157,
         StartsWith(kAccessViolation + std::string(sys::kTerseHeader))},
        {"fault ends at once", fault_with_exit_routine, {{"FOR_DISABLE_STACK_TRACE", "1"}}, 157,
         Eq(kAccessViolation + "units closed\n")},
        // A trap is an error: termination runs and its status is the number.
        {"vector floating-point trap", vector_divide, {}, 73, floating_divide_traced()},
        {"x87 floating-point trap", x87_divide, {}, 73, floating_divide_traced()},
        // Reported from the filter's own stack, written raw.
        {"stack overflow", test_support::overflow_stack, {}, 170,
         AllOf(StartsWith(line("forrtl: severe (170): Program Exception - stack overflow",
                               platform::testing::captured_raw_crlf()) +
                          std::string(sys::kTerseHeader)),
               HasSubstr("  recurse  "), HasSubstr("\nStack trace buffer overflow; further frames not shown.\n"),
               EndsWith("\nunits closed\n"))},
        {"integer divide", integer_divide, no_traceback, 164,
         Eq(line("forrtl: severe (164): Program Exception - integer divide by zero") + "units closed\n")},
        {"illegal instruction", illegal_instruction, no_traceback, 168,
         Eq(line("forrtl: severe (168): Program Exception - illegal instruction") + "units closed\n")},
        {"breakpoint", breakpoint, no_traceback, 159,
         Eq(line("forrtl: severe (159): Program Exception - breakpoint") + "units closed\n")},
        {"unlisted fault", sys::unlisted_fault, no_traceback, 172,
         Eq(line("forrtl: severe (172): Program Exception - exception code = " +
                 std::string(sys::kUnlistedFaultCode)) +
            "units closed\n")},
        {"severe error takes the normal end", severe_error_with_exit_routine, {{"FOR_DISABLE_STACK_TRACE", "1"}},
         24, Eq(kEndOfFile + "units closed\nexit routine\n")},
        {"breakpoint for a debugger abandons the driver quietly", breakpoint, {{"FOR__IS_DEBUGGER_PRESENT", "yes"}},
         0, Eq("units closed\n")},
        // Without a real debugger the reporter's own stop must not turn a
        // severe error into a quiet, successful end.
        {"severe error, debugger only pretended", severe_read_error,
         {{"FOR__IS_DEBUGGER_PRESENT", "1"}, {"FOR_DISABLE_STACK_TRACE", "1"}}, 24, Eq(kEndOfFile + "units closed\n")},
        // Control-C ends with 200, the number it reports; control-BREAK and
        // the closing (and a request to end, which ends as the closing
        // does) with their event types.
        {"control-C", sys::control_c, {}, 200, console_event("control-C")},
        {"control-BREAK", sys::control_break, {}, 1, console_event("control-BREAK")},
        {"window closed", sys::hang_up, {}, 2, console_event("window-CLOSE")},
        {"request to end", sys::end_request, {}, 2, console_event("window-CLOSE")},
        {"unit pass hands back a failure", quiet, {}, 8,
         shaped(Eq("forrtl: severe (8): internal consistency check failure, file for_exit_handler, line #\r\n")),
         failing_pass},
        {"failing close at termination ends with its number and runs once", quiet, {}, 28,
         Eq("unit pass\n" + line("forrtl: severe (28): CLOSE error, unit 20, file 3dpoint.dxf")), reporting_pass},
    };
    for (const Ending& e : endings)
        EXPECT_EXIT(run(e.driver, e.env, e.pass), ExitedWithCode(e.status), e.shown) << e.what;
}

void record_control_c(void*) { platform::record_console_event(platform::kConsoleInterrupt); }

// Control-C comes while the read that meets the end of the input is under
// way, as it may when it also ended the input's producer: the event is
// reported, not the end of the input.
void event_during_the_last_read() {
    if (io::open_unit(10, std::getenv("TDP_EMPTY_INPUT"), platform::Missing::fail).number != 0) std::_Exit(97);
    platform::testing::before_syscall(platform::testing::Syscall::read, 1, record_control_c, nullptr);
    io::UnitRecordSource records{10};
    std::string_view record;
    io::finish_statement(records.failure(records.next_record(record)));
    std::_Exit(98);  // neither the event nor the end of the input was reported
}

TEST_F(ProcessEndingsDeathTest, AnEventDuringAFailingStatementIsWhatIsReported) {
    test_support::TempDir dir;
    const std::string input = dir.file("empty.txt");
    test_support::write_bytes(input, "");
    EXPECT_EXIT(run(event_during_the_last_read, {{"TDP_EMPTY_INPUT", input.c_str()}}), ExitedWithCode(200),
                AllOf(StartsWith(line("forrtl: error (200): program aborting due to control-C event")),
                      EndsWith("\nunits closed\n")));
}

// Exits 0 when error dialogs are off, 1 when they are as the process started.
void exit_with_dialog_state() {
    std::_Exit(sys::error_dialogs_off() ? 0 : sys::error_dialogs_as_at_start() ? 1 : 2);
}

[[noreturn]] void run_with_dialogs_allowed(const char* noerror_dialogs) {
    sys::allow_error_dialogs();
    run(exit_with_dialog_state, {{"FOR_NOERROR_DIALOGS", noerror_dialogs}});
}

TEST_F(ProcessEndingsDeathTest, NoErrorDialogsTurnsThemOffAndAnyOtherValueLeavesThem) {
    if (!sys::error_dialogs_can_be_allowed()) GTEST_SKIP() << "they are off for good here";
    EXPECT_EXIT(run_with_dialogs_allowed("y"), ExitedWithCode(0), "");
    EXPECT_EXIT(run_with_dialogs_allowed("0"), ExitedWithCode(1), "");
}

TEST_F(ProcessEndingsDeathTest, DeclinedFaultsTakeTheSystemsCourse) {
    // Under a debugger the fault is reported, then passed on.
    EXPECT_EXIT(run(test_support::write_null, {{"FOR__IS_DEBUGGER_PRESENT", "1"}, {"FOR_NOERROR_DIALOGS", "1"}}),
                sys::ended_by_access_violation, StartsWith(kAccessViolation));
    EXPECT_EXIT(run(test_support::write_null, {{"FOR_IGNORE_EXCEPTIONS", "true"}, {"FOR_NOERROR_DIALOGS", "y"}}),
                sys::ended_by_access_violation, Eq(""));
}

TEST_F(ProcessEndingsDeathTest, TheDumpFlagEndsThroughTheAbnormalEnd) {
    EXPECT_EXIT(run(severe_read_error, {{"f77_dump_flag", "y"}, {"FOR_DISABLE_STACK_TRACE", "y"},
                                        {"FOR_NOERROR_DIALOGS", "y"}}),
                platform::testing::ended_by_abort, StartsWith(kEndOfFile));
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

TEST_F(ProcessEndingsDeathTest, FaultReportFitsInAQuarterOfTheFilterStack) {
    EXPECT_EXIT(fault_with_a_quarter_of_the_filter_stack(), ExitedWithCode(157),
                AllOf(StartsWith(kAccessViolation + "\nHex Dump Of Exception Record Context Information:"),
                      HasSubstr("--------- Frame # 2 "), EndsWith("\n\nunits closed\n")));
}

}  // namespace
