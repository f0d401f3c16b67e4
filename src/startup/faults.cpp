#include "startup/faults.h"

#include "platform/process.h"
#include "reporting/environment.h"
#include "reporting/error_numbers.h"
#include "reporting/fault_context.h"
#include "reporting/report.h"

namespace rt {
namespace {

// Only the first of the two debugger variables counts for faults.
bool debugger_attached_for_faults(const ReportingEnvironment& env) {
    return platform::debugger_present() || env.debugger_variable;
}

}  // namespace

platform::FaultVerdict handle_fault(const platform::FaultInfo& fault) {
    const ReportingEnvironment env = reporting_environment();
    if (env.ignore_exceptions) return platform::FaultVerdict::continue_search;

    const bool debugger = debugger_attached_for_faults(env);
    // The reporter's own stop for a debugger: one that is really attached
    // takes the trap before we see it, so here there is no debugger to stop
    // in, and the report goes on to its end instead of being abandoned.
    if (debugger && fault.break_request) return platform::FaultVerdict::continue_execution;

    FaultContext* context = fault_context();
    if (context != nullptr) {
        context->fault = &fault;
        if (debugger) context->resume_after_report = 1;
    }

    std::uint32_t flags = 0;
    const bool have_flags = platform::fault_vector_status(fault, flags);
    const int number = fault_number(fault.code, have_flags ? &flags : nullptr);
    const bool breakpoint_for_debugger = number == err::kBreakpoint && debugger;

    // No program-installed signal handler can take precedence here: the
    // program installs none of its own.
    if (breakpoint_for_debugger) {
        // The debugger has seen it already; the driver is abandoned.
    } else if (is_floating_point_trap(number)) {
        if (context == nullptr || context->reported_under_debugger == 0) {
            if (context != nullptr) context->resume_after_report = 1;
            report_error(number, 0);
        }
        set_pending_exit_status(number);
    } else if (number == kUnlistedFaultNumber) {
        const unsigned long low = fault.code & 0xFFFF;
        report_error(number, 2, low, static_cast<long>(low));
    } else {
        report_error(number, 0);
    }

    if (context != nullptr) {
        context->fault = nullptr;
        context->resume_after_report = 0;
    }
    if (!debugger || breakpoint_for_debugger) return platform::FaultVerdict::handle;
    if (context != nullptr) context->reported_under_debugger = 1;
    return platform::FaultVerdict::continue_search;
}

}  // namespace rt
