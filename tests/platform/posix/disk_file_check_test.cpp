// Whether a file is on disk decides whether an old output is cut: a check
// that fails must fail the open, not pass for "no disk file".
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files.h"
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;

int lowest_free_descriptor() {
    const int fd = ::open("/dev/null", O_RDONLY);
    ::close(fd);
    return fd;
}

TEST(DiskFileCheck, FailingCheckFailsTheOpenAndKeepsNothingOpen) {
    test_support::TempDir dir;
    const std::string path = dir.file("3dpoint.dxf");
    test_support::write_bytes(path, "old\r\n");
    const int free_before = lowest_free_descriptor();
    // The look at the path, then the check of what was opened.
    for (const int nth : {1, 2}) {
        const ScopedSyscallFailure failure{Syscall::file_type, nth, platform::testing::RawCode{EIO}};
        const auto opened = platform::open_or_create(path.c_str(), platform::Access::read_write, platform::Share::read);
        EXPECT_EQ(opened.handle, platform::kNoFile) << nth;
        EXPECT_EQ(opened.error, static_cast<platform::SystemError>(EIO)) << nth;
        EXPECT_EQ(lowest_free_descriptor(), free_before) << nth;
    }
    const auto opened = platform::open_or_create(path.c_str(), platform::Access::read_write, platform::Share::read);
    ASSERT_NE(opened.handle, platform::kNoFile);
    EXPECT_TRUE(opened.disk_file);
    platform::close_file(opened.handle);
    EXPECT_EQ(test_support::read_bytes(path), "old\r\n");
}

}  // namespace
