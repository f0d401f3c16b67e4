// Whether a file is on disk decides whether an old output is cut: a check
// that fails must fail the open, not pass for "no disk file". And the check
// is of what was opened, whatever the path names by then.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using platform::Access;
using platform::Share;
using platform::testing::RawCode;
using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;

int lowest_free_descriptor() {
    const int fd = ::open("/dev/null", O_RDONLY);
    ::close(fd);
    return fd;
}

platform::OpenResult open_writer(const std::string& path, platform::Missing missing = platform::Missing::create) {
    return platform::open_or_create(path.c_str(), Access::read_write, Share::read, missing);
}

TEST(DiskFileCheck, FailingCheckFailsTheOpenAndKeepsNothingOpen) {
    test_support::TempDir dir;
    const std::string path = dir.file("3dpoint.dxf");
    test_support::write_bytes(path, "old\r\n");
    const int free_before = lowest_free_descriptor();
    {
        const ScopedSyscallFailure failure{Syscall::file_type, 1, RawCode{EIO}};
        const auto opened = open_writer(path);
        EXPECT_EQ(opened.handle, platform::kNoFile);
        EXPECT_EQ(opened.error, static_cast<platform::SystemError>(EIO));
        EXPECT_EQ(lowest_free_descriptor(), free_before);
    }
    const auto opened = open_writer(path);
    ASSERT_NE(opened.handle, platform::kNoFile);
    EXPECT_TRUE(opened.disk_file);
    platform::close_file(opened.handle);
    EXPECT_EQ(test_support::read_bytes(path), "old\r\n");
}

// Without /proc (its open fails as a missing one does) the path is opened
// again: the file is still opened, on disk and locked, and nothing leaks.
TEST(DiskFileCheck, WithoutProcThePathIsOpenedAgain) {
    test_support::TempDir dir;
    const std::string path = dir.file("3dpoint.dxf");
    test_support::write_bytes(path, "old\r\n");
    const int free_before = lowest_free_descriptor();
    platform::OpenResult opened;
    {
        const ScopedSyscallFailure no_proc{Syscall::open, 2, RawCode{ENOENT}};
        opened = open_writer(path);
    }
    ASSERT_NE(opened.handle, platform::kNoFile);
    EXPECT_TRUE(opened.disk_file);
    EXPECT_EQ(::fcntl(static_cast<int>(opened.handle), F_GETFL) & (O_NONBLOCK | O_ACCMODE), O_RDWR);
    const auto second = open_writer(path);
    EXPECT_EQ(platform::categorize(second.error), platform::ErrorCategory::sharing_violation);
    platform::close_file(opened.handle);
    EXPECT_EQ(lowest_free_descriptor(), free_before);
}

// Without /proc the path is opened again, and it may name another file by
// then: one renamed over it between the look and the open is refused, never
// taken for the file looked at (an input swapped in would be converted).
TEST(DiskFileCheck, WithoutProcAFileSwappedInDuringTheOpenIsRefused) {
    test_support::TempDir dir;
    const std::string path = dir.file("input.txt");
    test_support::write_bytes(path, "1\n");
    test_support::write_bytes(dir.file("other.txt"), "2\n");
    const std::pair<std::string, std::string> swap{dir.file("other.txt"), path};
    const auto rename = [](void* names) {
        const auto& [from, to] = *static_cast<const std::pair<std::string, std::string>*>(names);
        ::rename(from.c_str(), to.c_str());
    };
    const int free_before = lowest_free_descriptor();
    platform::OpenResult opened;
    {
        // The first open holds the path, the second is the one through /proc.
        const ScopedSyscallFailure no_proc{Syscall::open, 2, RawCode{ENOENT}};
        platform::testing::before_syscall(Syscall::open, 2, rename, const_cast<void*>(static_cast<const void*>(&swap)));
        opened = open_writer(path, platform::Missing::fail);
    }
    EXPECT_EQ(opened.handle, platform::kNoFile);
    EXPECT_EQ(opened.error, static_cast<platform::SystemError>(ESTALE));
    EXPECT_EQ(lowest_free_descriptor(), free_before);
    EXPECT_EQ(test_support::read_bytes(path), "2\n");
}

// A FIFO opened, then a regular file put in its place: the handle goes on
// naming the FIFO. Its first write opens the FIFO's writing end (a reader
// holds the other), and the regular file is never touched.
TEST(DiskFileCheck, AFifoSwappedForAFileIsStillTheFifo) {
    test_support::TempDir dir;
    const std::string path = dir.file("3dpoint.dxf");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const auto opened = open_writer(path);
    ASSERT_NE(opened.handle, platform::kNoFile);
    EXPECT_FALSE(opened.disk_file);
    // The reader opens the FIFO through the held handle: its path is gone.
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", static_cast<int>(opened.handle));
    std::string got;
    std::thread reader([&link, &got] {
        const int fd = ::open(link, O_RDONLY);  // waits for the writer
        char buffer[16];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) got.append(buffer, static_cast<std::size_t>(n));
        if (fd >= 0) ::close(fd);
    });
    test_support::write_bytes(dir.file("old.dxf"), "old\r\n");
    ASSERT_EQ(::rename(dir.file("old.dxf").c_str(), path.c_str()), 0);
    EXPECT_EQ(platform::write_file(opened.handle, std::string_view{"new\r\n"}).error, 0u);
    EXPECT_EQ(platform::close_file(opened.handle), 0u);
    reader.join();
    EXPECT_EQ(got, "new\r\n");
    EXPECT_EQ(test_support::read_bytes(path), "old\r\n");
}

}  // namespace
