#include "platform/process_start.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>
#include <string>

#include "support/temp_dir.h"

namespace {

using testing::ExitedWithCode;

bool on_null_device(int fd) {
    struct stat null_device {}, status {};
    return ::stat("/dev/null", &null_device) == 0 && ::fstat(fd, &status) == 0 &&
           S_ISCHR(status.st_mode) && status.st_rdev == null_device.st_rdev;
}

// Exits 0 when each closed descriptor came back on the null device and the
// next file opened stays clear of the three.
[[noreturn]] void close_then_prepare(std::initializer_list<int> closed) {
    for (const int fd : closed) ::close(fd);
    platform::prepare_process();
    for (const int fd : closed)
        if (!on_null_device(fd)) ::_exit(10 + fd);
    const int next = ::open("/dev/null", O_RDONLY);
    ::_exit(next > STDERR_FILENO ? 0 : 1);
}

TEST(PrepareProcessDeathTest, ClosedStandardDescriptorsAreTakenBeforeAnyFile) {
    const std::initializer_list<int> cases[] = {{0}, {1}, {2}, {1, 2}, {0, 1, 2}};
    for (const auto& closed : cases)
        EXPECT_EXIT(close_then_prepare(closed), ExitedWithCode(0), "") << "closed from " << *closed.begin();
}

[[noreturn]] void read_from_open_standard_input() {
    const int fd = ::open("/dev/zero", O_RDONLY);
    ::dup2(fd, STDIN_FILENO);
    platform::prepare_process();
    char byte = 1;
    ::_exit(::read(STDIN_FILENO, &byte, 1) == 1 && byte == 0 ? 0 : 1);
}

TEST(PrepareProcessDeathTest, OpenStandardDescriptorsAreLeftAlone) {
    EXPECT_EXIT(read_from_open_standard_input(), ExitedWithCode(0), "");
}

// These exit with the errno of the failing write, which must not end the process.
[[noreturn]] void write_to_broken_pipe() {
    platform::prepare_process();
    int ends[2];
    if (::pipe(ends) != 0) ::_exit(1);
    ::close(ends[0]);
    ::_exit(::write(ends[1], "x", 1) < 0 ? errno : 0);
}

[[noreturn]] void write_past_size_limit(const std::string& name) {
    platform::prepare_process();
    const rlimit limit{4, 4};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(1);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT, 0600);
    if (::write(fd, "abcd", 4) != 4) ::_exit(2);
    ::_exit(::write(fd, "e", 1) < 0 ? errno : 0);
}

TEST(PrepareProcessDeathTest, WriteFailuresAreErrorsNotTheEnd) {
    EXPECT_EXIT(write_to_broken_pipe(), ExitedWithCode(EPIPE), "");
    test_support::TempDir dir;
    EXPECT_EXIT(write_past_size_limit(dir.file("limited")), ExitedWithCode(EFBIG), "");
}

}  // namespace
