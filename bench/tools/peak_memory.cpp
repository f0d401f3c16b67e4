// Runs a command and writes its own peak resident memory (KiB) to a file.
// A process started straight from the benchmark script would count the
// script's memory too: the peak carries over from the process that forked
// and then replaced itself, so the command is forked from this small one.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: peak_memory RESULT_FILE COMMAND [ARG...]\n");
        return 2;
    }
    const pid_t child = ::fork();
    if (child < 0) return 2;
    if (child == 0) {
        ::execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) return 2;
    if (std::FILE* f = std::fopen(argv[1], "w")) {
        std::fprintf(f, "%ld\n", usage.ru_maxrss);
        std::fclose(f);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
