#include <atomic>

#include "platform/console_events.h"
#include "reporting/fault_context.h"
#include "startup/lifecycle.h"
#include "reporting/report.h"
#include "reporting/error_numbers.h"

namespace rt {
namespace {


std::atomic<UnitPass> given_unit_pass{nullptr};

int checked_unit_pass() {
    const UnitPass pass = given_unit_pass.load(std::memory_order_acquire);
    const int number = pass != nullptr ? pass() : 0;
    // A failing close reports itself, and being severe ends the process
    // there; a number that comes back has escaped that rule.
    if (number != 0) report_error(err::kInternalConsistency, 2, "for_exit_handler", __LINE__);
    return number;
}

}  // namespace

void set_termination_unit_pass(UnitPass pass) {
    given_unit_pass.store(pass, std::memory_order_release);
    set_unit_pass(checked_unit_pass);
}

int for_exit_handler() {
    // Reports made from here on carry no traceback.
    release_fault_context();
    run_unit_pass();
    return pending_exit_status();
}

int runtime_finish() {
    // An event that came after the driver's last statement is still reported.
    platform::check_console_events();
    // No external message module is ever loaded, so there is nothing to
    // release before the exit handler.
    return for_exit_handler();
}

}  // namespace rt
