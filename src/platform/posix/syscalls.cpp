#include "platform/posix/syscalls.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/common/failure_injection.h"

namespace platform::posix {
namespace {

using testing::Syscall;

// True when this call is to fail; errno is then set to the chosen code.
bool injected(Syscall call) {
    SystemError code = 0;
    if (!injection::take(call, code)) return false;
    errno = static_cast<int>(code);
    return true;
}

}  // namespace

int sys_open(const char* path, int flags, mode_t mode) {
    return injected(Syscall::open) ? -1 : ::open(path, flags, mode);
}

ssize_t sys_read(int fd, void* into, std::size_t bytes) {
    if (injected(Syscall::read)) return errno == 0 ? 0 : -1;  // no code: the end of the file
    return ::read(fd, into, bytes);
}

ssize_t sys_write(int fd, const void* from, std::size_t bytes) {
    return injected(Syscall::write) ? -1 : ::write(fd, from, injection::write_size(bytes));
}

int sys_ftruncate(int fd, off_t length) {
    return injected(Syscall::cut) ? -1 : ::ftruncate(fd, length);
}

off_t sys_lseek(int fd, off_t offset, int whence) {
    return injected(Syscall::seek) ? off_t(-1) : ::lseek(fd, offset, whence);
}

int sys_close(int fd) {
    if (injected(Syscall::close)) {
        // A failed close still releases the descriptor on Linux; do the same
        // so that an injected failure leaks nothing.
        const int code = errno;
        ::close(fd);
        errno = code;
        return -1;
    }
    return ::close(fd);
}

int sys_fstat(int fd, struct stat* status) {
    return injected(Syscall::file_type) ? -1 : ::fstat(fd, status);
}

int sys_stat(const char* path, struct stat* status) {
    return injected(Syscall::file_type) ? -1 : ::stat(path, status);
}

char* sys_getcwd(char* into, std::size_t room) {
    return injected(Syscall::current_directory) ? nullptr : ::getcwd(into, room);
}

void* sys_malloc(std::size_t bytes) { return injected(Syscall::heap) ? nullptr : std::malloc(bytes); }

void* sys_realloc(void* block, std::size_t bytes) {
    return injected(Syscall::heap) ? nullptr : std::realloc(block, bytes);
}

void* sys_mmap(std::size_t bytes) {
    if (injected(Syscall::pages)) return MAP_FAILED;
    return ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
}

}  // namespace platform::posix
