#include "platform/testing.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

namespace platform::testing {

void set_environment_variable(const char* name, const char* value) {
    if (value == nullptr)
        ::unsetenv(name);
    else
        ::setenv(name, value, 1);
}

bool ended_by_abort(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT; }

bool ended_by_breakpoint(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGTRAP; }

std::string_view captured_raw_crlf() { return "\r\n"; }

}  // namespace platform::testing
