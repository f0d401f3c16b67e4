#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"  // the whole interface compiles on its own
#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using platform::Access;
using platform::ErrorCategory;
using platform::Share;
using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::TempDir;

// Every category a test can ask for comes back as itself from the
// backend's own code, so a failure named by category reaches the record
// layer as that category.
TEST(SystemCode, CategoriesSurviveTheRoundTrip) {
    const ErrorCategory categories[] = {
        ErrorCategory::access_denied,  ErrorCategory::write_protected,     ErrorCategory::sharing_violation,
        ErrorCategory::file_not_found, ErrorCategory::path_not_found,      ErrorCategory::invalid_name,
        ErrorCategory::name_too_long,  ErrorCategory::already_exists,      ErrorCategory::bad_unit,
        ErrorCategory::too_many_open_files, ErrorCategory::disk_full,      ErrorCategory::out_of_memory,
        ErrorCategory::other,
    };
    for (const ErrorCategory category : categories) {
        const platform::SystemError code = platform::testing::system_code(category);
        EXPECT_NE(code, 0u) << static_cast<int>(category);
        EXPECT_EQ(platform::categorize(code), category) << static_cast<int>(category);
    }
    EXPECT_EQ(platform::categorize(0), ErrorCategory::none);
}

TEST(FailureSeam, TheThirdWriteFailsWithDiskFull) {
    TempDir dir;
    const std::string name = dir.file("f");
    const auto opened = platform::open_or_create(name.c_str(), Access::read_write, Share::read);
    ASSERT_NE(opened.handle, platform::kNoFile);
    {
        const ScopedSyscallFailure full{Syscall::write, 3, ErrorCategory::disk_full};
        for (const char* piece : {"a", "b"}) EXPECT_EQ(platform::write_file(opened.handle, std::string_view{piece}).error, 0u);
        const platform::TransferResult third = platform::write_file(opened.handle, std::string_view{"c"});
        EXPECT_EQ(platform::categorize(third.error), ErrorCategory::disk_full);
        EXPECT_EQ(third.bytes, 0u);
        // Not persistent: the next write goes through.
        EXPECT_EQ(platform::write_file(opened.handle, std::string_view{"d"}).error, 0u);
    }
    EXPECT_EQ(platform::close_file(opened.handle), 0u);
    EXPECT_EQ(test_support::read_bytes(name), "abd");
}

TEST(FailureSeam, PersistentFailureKeepsFailing) {
    TempDir dir;
    const std::string name = dir.file("f");
    // A backend may make more than one system open for one open: the
    // failure is armed after the first.
    const auto first = platform::open_or_create(name.c_str(), Access::read_write, Share::read);
    ASSERT_NE(first.handle, platform::kNoFile);
    const ScopedSyscallFailure denied{Syscall::open, 1, ErrorCategory::access_denied, true};
    for (int i = 0; i < 3; ++i) {
        const auto refused = platform::open_or_create(name.c_str(), Access::read_only, Share::read);
        EXPECT_EQ(refused.handle, platform::kNoFile);
        EXPECT_EQ(platform::categorize(refused.error), ErrorCategory::access_denied);
    }
    platform::close_file(first.handle);
}

TEST(MissingFile, IsCreatedOrRefusedAsAsked) {
    TempDir dir;
    const std::string path = dir.file("survy.txt");
    const auto refused = platform::open_or_create(path.c_str(), Access::read_write, Share::read, platform::Missing::fail);
    EXPECT_EQ(refused.handle, platform::kNoFile);
    EXPECT_EQ(platform::categorize(refused.error), ErrorCategory::file_not_found);
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing is created";
    const auto created = platform::open_or_create(path.c_str(), Access::read_write, Share::read, platform::Missing::create);
    ASSERT_NE(created.handle, platform::kNoFile);
    EXPECT_TRUE(created.disk_file);
    platform::close_file(created.handle);
    EXPECT_EQ(test_support::read_bytes(path), "");
}

TEST(SystemErrorText, EndsWithALineBreak) {
    const platform::SystemError full = platform::testing::system_code(ErrorCategory::disk_full);
    char text[256];
    const std::size_t length = platform::system_error_text(full, text);
    ASSERT_GT(length, 1u);
    EXPECT_EQ(text[length - 1], '\n');
    EXPECT_EQ(platform::system_error_text(987654, text), 0u);
    EXPECT_EQ(platform::system_error_text(full, std::span<char>{text, 3}), 0u);
}

}  // namespace
