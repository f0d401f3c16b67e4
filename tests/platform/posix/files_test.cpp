#include "platform/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>
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
        const platform::testing::ScopedSyscallFailure no_cwd{platform::testing::Syscall::current_directory, 1,
                                                             platform::testing::RawCode{ERANGE}};
        EXPECT_EQ(full_path("relative"), "<none>");
    }
}

TEST(Files, InterruptedWriteIsRetriedNotReported) {
    TempDir dir;
    const std::string name = dir.file("f");
    const auto opened = platform::open_or_create(name.c_str(), Access::read_write, Share::read);
    ASSERT_NE(opened.handle, platform::kNoFile);
    {
        const platform::testing::ScopedSyscallFailure fail{platform::testing::Syscall::write, 1,
                                                            platform::testing::RawCode{EINTR}};
        EXPECT_EQ(platform::write_file(opened.handle, std::string_view{"d"}).error, 0u);
    }
    EXPECT_EQ(platform::close_file(opened.handle), 0u);
    EXPECT_EQ(test_support::read_bytes(name), "d");
}

TEST(FileNamePart, AfterTheLastSlashOnly) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"/work/build/3dpoint", "3dpoint"}, {"3dpoint", "3dpoint"}, {"/dir/", ""},
        {"a\\b.exe", "a\\b.exe"},  // a backslash is part of a name here
    };
    for (const auto& [path, part] : cases) EXPECT_EQ(platform::file_name_part(path), part) << path;
}

}  // namespace
