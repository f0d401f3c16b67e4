// Waiting until another process sits in a blocking read, so that an event
// sent to it then interrupts that read and not the code before it.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace test_support {

// Returns once `process` is in the read system call (number 0 on x86-64, 3
// on x86), as the kernel shows it, or after about five seconds.
inline void wait_until_reading(pid_t process) {
    const std::string path = "/proc/" + std::to_string(process) + "/syscall";
    const std::string read_call = sizeof(void*) == 8 ? "0 " : "3 ";
    for (int tries = 0; tries < 5000; ++tries) {
        char text[64] = {};
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) return;
        const ssize_t got = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (got > 0 && std::string(text).rfind(read_call, 0) == 0) return;
        ::usleep(1000);
    }
}

// Has a child process send `signal` to this one once it waits in a read.
inline void signal_when_reading(int signal) {
    const pid_t self = ::getpid();
    if (::fork() == 0) {
        wait_until_reading(self);
        ::kill(self, signal);
        ::_exit(0);
    }
}

}  // namespace test_support
