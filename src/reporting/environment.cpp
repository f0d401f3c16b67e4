#include "reporting/environment.h"

#include <atomic>
#include <cstdlib>

#include "platform/environment.h"

namespace rt {
namespace {

ReportingEnvironment g_snapshot;
std::atomic<bool> g_taken{false};

ReportingEnvironment read_now() {
    ReportingEnvironment env;
    env.disable_stack_trace = check_env_flag("FOR_DISABLE_STACK_TRACE");
    env.debugger_variable = check_env_flag("FOR__IS_DEBUGGER_PRESENT");
    env.other_debugger_variable = check_env_flag("FOR_DEBUGGER_IS_PRESENT");
    env.disable_display = check_env_flag("FOR_DISABLE_DIAGNOSTIC_DISPLAY");
    env.dump_flag = check_env_flag("f77_dump_flag") || check_env_flag("decfort_dump_flag");
    env.ignore_exceptions = check_env_flag("FOR_IGNORE_EXCEPTIONS");
    env.verbose_traceback =
        check_env_flag("FOR_ENABLE_VERBOSE_STACK_TRACE") || check_env_flag("TBK_ENABLE_VERBOSE_STACK_TRACE");
    env.no_error_dialogs = check_env_flag("FOR_NOERROR_DIALOGS");
    // Names of files, in any script the system allows.
    env.log_file = platform::environment_text("FOR_DIAGNOSTIC_LOG_FILE");
    env.fort0 = platform::environment_text("FORT0");
    return env;
}

}  // namespace

bool check_env_flag(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return false;
    switch (*value) {
        case 't': case 'T': case 'y': case 'Y': return true;
        default: break;
    }
    bool non_zero = false;
    for (const char* c = value; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        non_zero = non_zero || *c != '0';
    }
    return non_zero;
}

void read_reporting_environment() {
    g_snapshot = read_now();
    g_taken.store(true, std::memory_order_release);
}

ReportingEnvironment reporting_environment() {
    if (g_taken.load(std::memory_order_acquire)) return g_snapshot;
    return read_now();
}

}  // namespace rt
