#include "platform/testing.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

extern char** environ;

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

bool makes_call(Syscall) { return true; }

std::vector<std::string> environment_names() {
    std::vector<std::string> names;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text{*entry};
        names.emplace_back(text.substr(0, text.find('=')));
    }
    return names;
}

// fork and exec of /proc/self/exe: the child starts afresh, as it would on
// Windows, not as a copy of the test that is running.
int run_this_program(std::span<const std::string> arguments, const std::string& directory,
                     const std::string& error_path) {
    std::vector<char*> argv;
    static char self_name[] = "self";
    argv.push_back(self_name);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::alarm(60);  // a run that hangs ends the child, not the suite
        const int error = ::open(error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (error < 0 || null < 0 || ::dup2(error, STDERR_FILENO) < 0 || ::dup2(null, STDIN_FILENO) < 0 ||
            ::dup2(null, STDOUT_FILENO) < 0 || ::chdir(directory.c_str()) != 0)
            ::_exit(250);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(251);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace platform::testing
