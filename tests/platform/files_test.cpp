#include "platform/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using platform::Access;
using platform::Share;
using test_support::TempDir;

std::string full_path(std::string_view name, std::size_t room = 4096) {
    std::string out(room, '?');
    const std::size_t length = platform::full_path_name(name, {out.data(), out.size()});
    if (length == 0) return "<none>";
    EXPECT_EQ(out[length], '\0');
    return out.substr(0, length);
}

TEST(FullPathName, IsFormedFromTextAlone) {
    const std::string cwd = std::filesystem::current_path().string();
    struct Case {
        std::string_view name;
        std::string expected;
    };
    const Case cases[] = {
        {"input.txt", cwd + "/input.txt"},
        {"no/such/dir/../../input.txt", cwd + "/no/input.txt"},
        {"a//b/./c", cwd + "/a/b/c"},
        {"out/", cwd + "/out/"},
        {"/abs/x/../y", "/abs/y"},
        {"/../../..", "/"},
        {"", "<none>"},
    };
    for (const Case& c : cases) EXPECT_EQ(full_path(c.name), c.expected) << c.name;
}

TEST(FullPathName, RefusesWhatDoesNotFit) {
    EXPECT_EQ(full_path("/abc", 5), "/abc");
    EXPECT_EQ(full_path("/abcd", 5), "<none>");
    {
        const platform::testing::ScopedSyscallFailure no_cwd{platform::testing::Syscall::current_directory, 1, ERANGE};
        EXPECT_EQ(full_path("relative"), "<none>");
    }
}

TEST(Files, InterruptedWriteIsRetriedNotReported) {
    TempDir dir;
    const std::string name = dir.file("f");
    const auto opened = platform::open_or_create(name.c_str(), Access::read_write, Share::read);
    ASSERT_NE(opened.handle, platform::kNoFile);
    {
        const platform::testing::ScopedSyscallFailure fail{platform::testing::Syscall::write, 1, EINTR};
        EXPECT_EQ(platform::write_file(opened.handle, std::string_view{"d"}).error, 0u);
    }
    EXPECT_EQ(platform::close_file(opened.handle), 0u);
    EXPECT_EQ(test_support::read_bytes(name), "d");
}

TEST(SystemErrorText, EndsWithALineBreak) {
    char text[256];
    const std::size_t length = platform::system_error_text(ENOSPC, text);
    ASSERT_GT(length, 1u);
    EXPECT_EQ(text[length - 1], '\n');
    EXPECT_EQ(platform::system_error_text(987654, text), 0u);
    EXPECT_EQ(platform::system_error_text(ENOSPC, std::span<char>{text, 3}), 0u);
}

}  // namespace
