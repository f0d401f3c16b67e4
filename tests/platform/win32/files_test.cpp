#include "platform/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <utility>

#include "platform/testing.h"
#include "support/temp_dir.h"

namespace {

using platform::Access;
using platform::ErrorCategory;
using platform::Share;
using test_support::TempDir;

std::string full_path(std::string_view name, std::size_t room = 257) {
    std::string out(room, '?');
    const std::size_t length = platform::full_path_name(name, {out.data(), out.size()});
    if (length == 0) return "<none>";
    EXPECT_EQ(out[length], '\0');
    return out.substr(0, length);
}

// The current directory joined with the name and "." and ".." resolved, with
// nothing on disk consulted.
TEST(FullPathName, ResolvedByTheSystemFromTextAlone) {
    std::string cwd = std::filesystem::current_path().string();
    if (cwd.back() == '\\') cwd.pop_back();
    const std::string drive = cwd.substr(0, 2);
    struct Case {
        std::string_view name;
        std::string expected;
    };
    const Case cases[] = {
        {"input.txt", cwd + "\\input.txt"},
        {"no\\such\\dir\\..\\..\\input.txt", cwd + "\\no\\input.txt"},
        {"no/such/../x.txt", cwd + "\\no\\x.txt"},
        {"C:\\a\\..\\b", "C:\\b"},
        {"\\abs\\.\\y", drive + "\\abs\\y"},
        {"a<b", cwd + "\\a<b"},  // names are not checked here
        {"", "<none>"},
        {std::string_view{"a\0b", 3}, "<none>"},  // the system would see "a"
    };
    for (const Case& c : cases) EXPECT_EQ(full_path(c.name), c.expected) << c.name;
}

// A result needs its length plus the terminating zero; anything longer is no
// result at all, never a cut one.
TEST(FullPathName, RefusesWhatDoesNotFit) {
    const std::string name = "C:\\" + std::string(100, 'n');
    EXPECT_EQ(full_path(name, name.size() + 1), name);
    EXPECT_EQ(full_path(name, name.size()), "<none>");
    EXPECT_EQ(full_path("C:\\" + std::string(300, 'n')), "<none>");
    {
        const platform::testing::ScopedSyscallFailure no_cwd{platform::testing::Syscall::current_directory, 1,
                                                             ErrorCategory::path_not_found};
        EXPECT_EQ(full_path("relative"), "<none>");
    }
    EXPECT_NE(full_path("relative"), "<none>");
}

// Windows counts a name's UTF-16 units, not the bytes of its UTF-8.
TEST(NameLength, CountsWhatTheSystemCounts) {
    const std::pair<std::string_view, std::size_t> cases[] = {
        {"", 0},
        {"input.txt", 9},
        {"\xc3\xa9t\xc3\xa9.txt", 7},               // two letters of two bytes
        {"\xe6\xb5\x8b\xe9\x87\x8f\xe7\x82\xb9", 3},  // three of three
        {"\xf0\x9f\x98\x80.txt", 6},               // one past the first 65 536: two units
    };
    for (const auto& [name, units] : cases) EXPECT_EQ(platform::name_length(name), units) << name;
}

TEST(FileNamePart, AfterTheLastSeparatorOrDrive) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Z:\\work\\build\\3dpoint.exe", "3dpoint.exe"},
        {"C:\\windows\\system32\\kernel32.dll", "kernel32.dll"},
        {"a/b.exe", "b.exe"},
        {"C:x.exe", "x.exe"},
        {"dir\\", ""},
        {"3dpoint.exe", "3dpoint.exe"},
    };
    for (const auto& [path, part] : cases) EXPECT_EQ(platform::file_name_part(path), part) << path;
}

class OpenOrCreate : public testing::Test {
protected:
    static platform::OpenResult open(const std::string& name, Access access = Access::read_write,
                                     Share share = Share::read) {
        return platform::open_or_create(name.c_str(), access, share);
    }

    TempDir dir;
};

// An existing file is opened unchanged at its first byte, though the system
// reports it as already existing; a missing one is created empty.
TEST_F(OpenOrCreate, ExistingUnchangedMissingCreated) {
    const std::string existing = dir.file("existing.txt");
    test_support::write_bytes(existing, "abc\r\n");
    const std::string missing = dir.file("missing.txt");
    for (const std::string& name : {existing, missing}) {
        const platform::OpenResult opened = open(name);
        ASSERT_NE(opened.handle, platform::kNoFile) << name;
        EXPECT_EQ(opened.error, 0u);
        EXPECT_TRUE(platform::is_disk_file(opened.handle));
        char first[2] = {};
        EXPECT_EQ(platform::read_file(opened.handle, first).bytes, name == existing ? 2u : 0u);
        EXPECT_EQ(platform::close_file(opened.handle), 0u);
    }
    EXPECT_EQ(test_support::read_bytes(existing), "abc\r\n");
    EXPECT_TRUE(std::filesystem::exists(missing));
    EXPECT_EQ(std::filesystem::file_size(missing), 0u);
}

TEST_F(OpenOrCreate, RefusalsByCategory) {
    std::filesystem::create_directory(dir.path() / "folder");
    struct Case {
        std::string name;
        Access access;
        ErrorCategory category;
    };
    const Case cases[] = {
        {dir.file("folder"), Access::read_write, ErrorCategory::access_denied},
        {dir.file("folder"), Access::read_only, ErrorCategory::access_denied},
        {dir.file("no-such-dir\\x.txt"), Access::read_write, ErrorCategory::path_not_found},
        {dir.file("a<b"), Access::read_write, ErrorCategory::invalid_name},
    };
    for (const Case& c : cases) {
        const platform::OpenResult refused = open(c.name, c.access);
        EXPECT_EQ(refused.handle, platform::kNoFile) << c.name;
        EXPECT_EQ(platform::categorize(refused.error), c.category) << c.name << " " << refused.error;
    }
}

// The share modes within one process are those a second process meets: a
// writer that lets others only read keeps every other writer out, and a
// reader that does not let others write.
TEST_F(OpenOrCreate, ShareModes) {
    const std::string name = dir.file("3dpoint.dxf");
    const platform::OpenResult writer = open(name);
    ASSERT_NE(writer.handle, platform::kNoFile);
    struct Case {
        Access access;
        Share share;
        ErrorCategory category;
    };
    const Case cases[] = {
        {Access::read_write, Share::read, ErrorCategory::sharing_violation},
        {Access::read_only, Share::read, ErrorCategory::sharing_violation},
        {Access::read_only, Share::read_write, ErrorCategory::none},
    };
    for (const Case& c : cases) {
        const platform::OpenResult second = open(name, c.access, c.share);
        EXPECT_EQ(platform::categorize(second.error), c.category) << static_cast<int>(c.share);
        if (second.handle == platform::kNoFile) continue;
        // Opened for reading only: writing through it is refused.
        const platform::TransferResult written = platform::write_file(second.handle, std::string_view{"x"});
        EXPECT_EQ(platform::categorize(written.error), ErrorCategory::access_denied);
        EXPECT_EQ(platform::close_file(second.handle), 0u);
    }
    EXPECT_EQ(platform::close_file(writer.handle), 0u);
}

// Another process holds the file open for writing, letting others read:
// ours is refused as a writer, and may only read while letting others write.
TEST_F(OpenOrCreate, FileHeldByAnotherProcess) {
    const std::string name = dir.file("3dpoint.dxf");
    // The command interpreter appending its input to the file holds it
    // open until that input ends.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE input_read = nullptr, input_write = nullptr;
    ASSERT_TRUE(::CreatePipe(&input_read, &input_write, &inherit, 0));
    ::SetHandleInformation(input_write, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input_read;
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::string command = "cmd.exe /c \"more >> \"" + name + "\"\"";
    PROCESS_INFORMATION holder{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &holder));
    ::CloseHandle(input_read);

    // The holder creates the file as it opens it; an open of ours before
    // that could keep the holder out instead.
    for (int attempt = 0; attempt < 1200 && !std::filesystem::exists(name); ++attempt) ::Sleep(50);
    const platform::OpenResult refused = open(name);
    EXPECT_EQ(refused.handle, platform::kNoFile);
    EXPECT_EQ(platform::categorize(refused.error), ErrorCategory::sharing_violation);
    const platform::OpenResult reader = open(name, Access::read_only, Share::read_write);
    ASSERT_NE(reader.handle, platform::kNoFile);
    EXPECT_EQ(platform::categorize(platform::write_file(reader.handle, std::string_view{"x"}).error),
              ErrorCategory::access_denied);
    EXPECT_EQ(platform::close_file(reader.handle), 0u);

    ::CloseHandle(input_write);
    ::WaitForSingleObject(holder.hProcess, INFINITE);
    ::CloseHandle(holder.hProcess);
    ::CloseHandle(holder.hThread);
}

// Writing behind the first record, then cutting there, drops what the old
// file held beyond it.
TEST_F(OpenOrCreate, CutAtTheCurrentPosition) {
    const std::string name = dir.file("out.txt");
    test_support::write_bytes(name, std::string(5000, 'o'));
    const platform::OpenResult opened = open(name);
    ASSERT_NE(opened.handle, platform::kNoFile);
    EXPECT_EQ(platform::write_file(opened.handle, std::string_view{"new\r\n"}).bytes, 5u);
    EXPECT_EQ(platform::truncate_here(opened.handle), 0u);
    EXPECT_EQ(platform::write_file(opened.handle, std::string_view{"two\r\n"}).error, 0u);
    EXPECT_EQ(platform::close_file(opened.handle), 0u);
    EXPECT_EQ(test_support::read_bytes(name), "new\r\ntwo\r\n");
}

// Devices and pipes are no disk files: records are not cut after them.
TEST(IsDiskFile, DevicesAndPipesAreNot) {
    const platform::OpenResult null_device = platform::open_or_create("NUL", Access::read_write, Share::read);
    ASSERT_NE(null_device.handle, platform::kNoFile);
    EXPECT_FALSE(platform::is_disk_file(null_device.handle));
    EXPECT_EQ(platform::close_file(null_device.handle), 0u);

    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 0));
    EXPECT_FALSE(platform::is_disk_file(reinterpret_cast<platform::FileHandle>(writer)));
    // A pipe whose reader has gone refuses the write; no signal ends the process.
    ::CloseHandle(reader);
    const platform::TransferResult written =
        platform::write_file(reinterpret_cast<platform::FileHandle>(writer), std::string_view{"x"});
    EXPECT_NE(written.error, 0u);
    ::CloseHandle(writer);
}

}  // namespace

namespace {

// The share mode is also a lock on one byte far past the data, which Wine
// hands on to the Unix file, where a Linux run of the program meets it. Seen
// from a second handle that any share mode lets in: the writer's lock
// excludes every other, a reader's excludes writers only, and the data
// stays readable either way.
TEST_F(OpenOrCreate, ShareModeIsAlsoALockPastTheData) {
    const std::string name = dir.file("3dpoint.dxf");
    test_support::write_bytes(name, "old\r\n");
    struct Case {
        const char* what;
        Access access;
        Share share;
        bool shared_refused;
        bool exclusive_refused;
    };
    const Case cases[] = {
        {"writer", Access::read_write, Share::read, true, true},
        {"reader", Access::read_only, Share::read, false, true},
        {"shared reader", Access::read_only, Share::read_write, false, false},
    };
    for (const Case& c : cases) {
        const platform::OpenResult held = open(name, c.access, c.share);
        ASSERT_NE(held.handle, platform::kNoFile) << c.what;
        const HANDLE other = ::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE) << c.what;
        for (const bool exclusive : {false, true}) {
            OVERLAPPED where{};
            where.OffsetHigh = 0x40000000;
            const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
            const bool locked = ::LockFileEx(other, flags, 0, 1, 0, &where) != FALSE;
            EXPECT_EQ(!locked, exclusive ? c.exclusive_refused : c.shared_refused) << c.what << exclusive;
            if (locked) ::UnlockFileEx(other, 0, 1, 0, &where);
        }
        char first[3] = {};
        DWORD got = 0;
        EXPECT_TRUE(::ReadFile(other, first, 3, &got, nullptr)) << c.what;
        EXPECT_EQ(got, 3u) << c.what;
        ::CloseHandle(other);
        EXPECT_EQ(platform::close_file(held.handle), 0u) << c.what;
    }
}

}  // namespace
