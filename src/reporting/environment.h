// The environment as the run-time layer reads it: the flag test, and the
// variables of reporting, start-up and traceback taken once at start-up, so
// that a report (above all one made on the fault path) never reads the
// environment itself.
#pragma once

namespace rt {

// True when the variable is set and starts with t, T, y or Y, or is digits
// only with a non-zero value. Reads the environment: not for the fault path.
bool check_env_flag(const char* name);

struct ReportingEnvironment {
    bool disable_stack_trace = false;      // FOR_DISABLE_STACK_TRACE
    bool debugger_variable = false;        // FOR__IS_DEBUGGER_PRESENT
    bool other_debugger_variable = false;  // FOR_DEBUGGER_IS_PRESENT (reports only, not faults)
    bool disable_display = false;          // FOR_DISABLE_DIAGNOSTIC_DISPLAY
    bool dump_flag = false;                // f77_dump_flag or decfort_dump_flag
    bool ignore_exceptions = false;        // FOR_IGNORE_EXCEPTIONS
    bool verbose_traceback = false;        // FOR_ENABLE_VERBOSE_STACK_TRACE or TBK_ENABLE_VERBOSE_STACK_TRACE
    bool no_error_dialogs = false;         // FOR_NOERROR_DIALOGS
    const char* log_file = nullptr;        // FOR_DIAGNOSTIC_LOG_FILE as set (set at all counts)
    const char* fort0 = nullptr;           // FORT0 as set
};

// Takes the snapshot; start-up calls it once, before the driver runs. Tests
// call it again after changing the variables.
void read_reporting_environment();

// The snapshot. Before start-up has taken it (a test that reports without
// starting the layer), the variables are read now instead. Safe on the fault
// path once the snapshot is taken, which start-up does before faults are trapped.
ReportingEnvironment reporting_environment();

}  // namespace rt
