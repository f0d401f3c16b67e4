// Every system call of the POSIX backend goes through here, so that tests can
// make any of them fail (platform/testing.h). Each wrapper returns what the
// system call returns and leaves errno as it set it.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace platform::posix {

int sys_open(const char* path, int flags, mode_t mode);
ssize_t sys_read(int fd, void* into, std::size_t bytes);
ssize_t sys_write(int fd, const void* from, std::size_t bytes);
int sys_ftruncate(int fd, off_t length);
off_t sys_lseek(int fd, off_t offset, int whence);
int sys_close(int fd);
int sys_fstat(int fd, struct stat* status);
int sys_stat(const char* path, struct stat* status);
char* sys_getcwd(char* into, std::size_t room);
void* sys_malloc(std::size_t bytes);
void* sys_realloc(void* block, std::size_t bytes);
void* sys_mmap(std::size_t bytes);  // anonymous, private, read-write; MAP_FAILED on failure

}  // namespace platform::posix
