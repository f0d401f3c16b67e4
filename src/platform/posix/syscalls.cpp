#include "platform/posix/syscalls.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/testing.h"

namespace platform {
namespace {

using testing::Syscall;

// One armed failure per call: `countdown` calls to go (0 = none armed).
struct Injection {
    std::atomic<int> countdown{0};
    std::atomic<int> code{0};
    std::atomic<bool> persistent{false};
};

std::array<Injection, static_cast<std::size_t>(Syscall::count_)> injections;

// True when this call is to fail; errno is then set to the chosen code.
bool injected(Syscall call) {
    Injection& slot = injections[static_cast<std::size_t>(call)];
    if (slot.countdown.load(std::memory_order_relaxed) == 0) return false;  // the usual case
    const int left = slot.countdown.fetch_sub(1) - 1;
    if (left > 0) return false;
    if (slot.persistent.load()) slot.countdown.store(1);
    errno = slot.code.load();
    return true;
}

}  // namespace

namespace testing {

void fail_syscall(Syscall call, int nth, SystemError code, bool persistent) {
    Injection& slot = injections[static_cast<std::size_t>(call)];
    slot.code.store(static_cast<int>(code));
    slot.persistent.store(persistent);
    slot.countdown.store(nth < 1 ? 1 : nth);
}

void clear_syscall_failures() {
    for (Injection& slot : injections) slot.countdown.store(0);
}

}  // namespace testing

namespace posix {

int sys_open(const char* path, int flags, mode_t mode) {
    return injected(Syscall::open) ? -1 : ::open(path, flags, mode);
}

ssize_t sys_read(int fd, void* into, std::size_t bytes) {
    return injected(Syscall::read) ? -1 : ::read(fd, into, bytes);
}

ssize_t sys_write(int fd, const void* from, std::size_t bytes) {
    return injected(Syscall::write) ? -1 : ::write(fd, from, bytes);
}

int sys_ftruncate(int fd, off_t length) {
    return injected(Syscall::truncate) ? -1 : ::ftruncate(fd, length);
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
    return injected(Syscall::stat) ? -1 : ::fstat(fd, status);
}

int sys_stat(const char* path, struct stat* status) {
    return injected(Syscall::stat) ? -1 : ::stat(path, status);
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

}  // namespace posix
}  // namespace platform
