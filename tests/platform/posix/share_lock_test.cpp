// The sharing mode of an open, seen by a second open of the same file.
// Locks of open file descriptions conflict within one process too.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

using platform::Access;
using platform::Share;

struct Mode {
    Access access;
    Share share;
};

constexpr Mode kWriter{Access::read_write, Share::read};        // the program's open
constexpr Mode kReader{Access::read_only, Share::read};         // its retry when access is denied
constexpr Mode kSharedReader{Access::read_only, Share::read_write};  // its retry on a sharing violation

platform::OpenResult open(const std::string& path, Mode mode) {
    return platform::open_or_create(path.c_str(), mode.access, mode.share);
}

TEST(ShareLock, SecondOpenMeetsTheFirstOnesMode) {
    struct Case {
        const char* what;
        Mode first;
        Mode second;
        bool refused;
    };
    const Case cases[] = {
        {"writer, writer", kWriter, kWriter, true},
        {"writer, reader", kWriter, kReader, true},
        {"writer, shared reader", kWriter, kSharedReader, false},
        {"reader, writer", kReader, kWriter, true},
        {"reader, reader", kReader, kReader, false},
        {"reader, shared reader", kReader, kSharedReader, false},
        {"shared reader, writer", kSharedReader, kWriter, false},
        {"shared reader, reader", kSharedReader, kReader, false},
        {"shared reader, shared reader", kSharedReader, kSharedReader, false},
    };
    test_support::TempDir dir;
    const std::string path = dir.file("3dpoint.dxf");
    test_support::write_bytes(path, "old\r\n");
    for (const Case& c : cases) {
        const auto first = open(path, c.first);
        ASSERT_NE(first.handle, platform::kNoFile) << c.what;
        const auto second = open(path, c.second);
        EXPECT_EQ(second.handle == platform::kNoFile, c.refused) << c.what;
        if (c.refused) {
            EXPECT_EQ(platform::categorize(second.error), platform::ErrorCategory::sharing_violation) << c.what;
        } else {
            EXPECT_EQ(platform::close_file(second.handle), 0u) << c.what;
        }
        EXPECT_EQ(platform::close_file(first.handle), 0u) << c.what;
    }
    EXPECT_EQ(test_support::read_bytes(path), "old\r\n");
}

TEST(ShareLock, HeldUntilClose) {
    test_support::TempDir dir;
    const std::string path = dir.file("input.txt");
    const auto first = open(path, kWriter);
    ASSERT_NE(first.handle, platform::kNoFile);
    EXPECT_EQ(open(path, kWriter).handle, platform::kNoFile);
    ASSERT_EQ(platform::close_file(first.handle), 0u);
    const auto again = open(path, kWriter);
    ASSERT_NE(again.handle, platform::kNoFile);
    EXPECT_EQ(platform::close_file(again.handle), 0u);
}

// Devices have no sharing: the null device opens any number of times.
TEST(ShareLock, OnlyFilesOnDiskAreLocked) {
    const auto first = open("/dev/null", kWriter);
    const auto second = open("/dev/null", kWriter);
    ASSERT_NE(first.handle, platform::kNoFile);
    ASSERT_NE(second.handle, platform::kNoFile);
    EXPECT_FALSE(first.disk_file);
    platform::close_file(second.handle);
    platform::close_file(first.handle);
}

}  // namespace
